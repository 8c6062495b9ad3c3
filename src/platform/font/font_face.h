// Glyph rasterising for the game's bitmap fonts: one installed typeface at one pixel size and
// style, found by family name, that measures 8-bit strings and paints their coverage.
// No FreeType or fontconfig type appears here; the implementation keeps them private.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// A caller's 8-bit coverage bitmap: 0 = no ink, 255 = full ink. Row 0 is the top row;
// rows are `pitch` bytes apart. The caller owns the pixels.
struct CoverageBitmap {
    std::uint8_t* pixels;
    int width;
    int height;
    int pitch;
};

// Size of a string in pixels, as the desktop's text measuring reports it.
struct TextExtent {
    int cx;  // sum of the characters' advances
    int cy;  // line height: ascent + descent
};

class FontFace {
public:
    // Opens the installed face that best matches `family` in the requested style (a similar
    // face stands in when the family is not installed, as the desktop does), sized so that
    // its em square is `pixelHeight` pixels. A style the matched face lacks is synthesised
    // (emboldened or slanted). Throws Error when no face can be loaded or pixelHeight < 1.
    static std::unique_ptr<FontFace> Open(const std::string& family, int pixelHeight, bool bold,
                                          bool italic);
    // The file of the installed face that Open would load for `family` in that style, for a
    // renderer that sets text with the same face. Throws Error as Open does.
    static std::string FileOf(const std::string& family, bool bold, bool italic);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // Each byte is one character (codes 0..255 read as Latin-1). No kerning, as the desktop's
    // plain text output.
    TextExtent Measure(std::string_view text) const;

    // Paints the string's coverage with the top of its line at (x, y), so the baseline lies at
    // y + Ascent(). Overlapping ink keeps the larger coverage; pixels outside the bitmap are
    // clipped.
    void Draw(std::string_view text, int x, int y, const CoverageBitmap& target) const;

    int Ascent() const;   // pixels above the baseline
    int Descent() const;  // pixels below the baseline
    int PixelHeight() const;
    // The matched face, for messages: family and style as the font file names them.
    std::string Description() const;

private:
    struct Impl;
    explicit FontFace(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> c_pImpl;
};

}  // namespace platform
