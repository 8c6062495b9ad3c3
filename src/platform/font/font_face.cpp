// FontFace on fontconfig (face matching) and FreeType (hinted, anti-aliased rendering).
#include "platform/font/font_face.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "core/error.h"

namespace platform {
namespace {

struct FcPatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using FcPatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;

struct FtLibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
using FtLibraryPtr = std::unique_ptr<FT_LibraryRec_, FtLibraryDeleter>;

struct FtFaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FtFacePtr = std::unique_ptr<FT_FaceRec_, FtFaceDeleter>;

struct FaceLocation {
    std::string file;
    int index;
};

// Asks fontconfig for the installed face closest to the family and style. fontconfig always
// answers with some face (its fallback chain), as the desktop's font mapper does.
FaceLocation MatchFace(const std::string& family, bool bold, bool italic)
{
    FcPatternPtr pattern(FcPatternCreate());
    if (!pattern)
        throw Error("Font \"" + family + "\": out of memory building the font pattern");
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());

    FcResult result = FcResultNoMatch;
    FcPatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    FcChar8* file = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || !file)
        throw Error("Font \"" + family +
                    "\": no installed font matches; install a scalable font (fonts-liberation)");
    int index = 0;
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    return {reinterpret_cast<const char*>(file), index};
}

// One rendered character: its coverage and where it sits relative to the pen on the baseline.
struct Glyph {
    int advance = 0;  // pixels
    int left = 0;     // from the pen to the bitmap's left column
    int top = 0;      // from the baseline up to the bitmap's top row
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage;  // width * rows, top row first
};

}  // namespace

struct FontFace::Impl {
    FtLibraryPtr library;
    FtFacePtr face;
    int pixelHeight = 0;
    int ascent = 0;
    int descent = 0;
    bool emboldenSynthetic = false;
    bool slantSynthetic = false;
    // Rendered lazily, one per byte code; the atlas painter asks for each a few times.
    mutable std::array<std::optional<Glyph>, 256> glyphs;

    const Glyph& GlyphFor(unsigned char code) const;
};

const Glyph& FontFace::Impl::GlyphFor(unsigned char code) const
{
    std::optional<Glyph>& slot = glyphs[code];
    if (slot)
        return *slot;
    slot.emplace();
    Glyph& glyph = *slot;

    // A character the face lacks falls back to the face's missing-glyph box (index 0).
    FT_UInt index = FT_Get_Char_Index(face.get(), code);
    if (FT_Load_Glyph(face.get(), index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0)
        return glyph;  // nothing to draw and no advance: better than failing the whole string
    FT_GlyphSlot ftSlot = face->glyph;
    if (slantSynthetic)
        FT_GlyphSlot_Oblique(ftSlot);
    if (emboldenSynthetic)
        FT_GlyphSlot_Embolden(ftSlot);
    glyph.advance = static_cast<int>((ftSlot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(ftSlot, FT_RENDER_MODE_NORMAL) != 0)
        return glyph;

    const FT_Bitmap& bitmap = ftSlot->bitmap;
    glyph.left = ftSlot->bitmap_left;
    glyph.top = ftSlot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.rows);
    for (int row = 0; row < glyph.rows; ++row) {
        const unsigned char* source = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
        std::copy(source, source + glyph.width, glyph.coverage.begin() + static_cast<std::ptrdiff_t>(row) * glyph.width);
    }
    return glyph;
}

FontFace::FontFace(std::unique_ptr<Impl> impl) : c_pImpl(std::move(impl)) {}
FontFace::~FontFace() = default;

std::string FontFace::FileOf(const std::string& family, bool bold, bool italic)
{
    return MatchFace(family, bold, italic).file;
}

std::unique_ptr<FontFace> FontFace::Open(const std::string& family, int pixelHeight, bool bold,
                                         bool italic)
{
    if (pixelHeight < 1)
        throw Error("Font \"" + family + "\": pixel height " + std::to_string(pixelHeight) +
                    " is too small; expected at least 1");
    FaceLocation location = MatchFace(family, bold, italic);

    auto impl = std::make_unique<Impl>();
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        throw Error("Font \"" + family + "\": the glyph rasteriser could not start");
    impl->library.reset(library);
    FT_Face face = nullptr;
    if (FT_New_Face(library, location.file.c_str(), location.index, &face) != 0)
        throw Error("Font \"" + family + "\": cannot load the matched font file " + location.file);
    impl->face.reset(face);
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 ||
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight)) != 0)
        throw Error("Font \"" + family + "\": " + location.file +
                    " has no Unicode character map or cannot be sized to " +
                    std::to_string(pixelHeight) + " pixels");
    impl->pixelHeight = pixelHeight;
    impl->emboldenSynthetic = bold && !(face->style_flags & FT_STYLE_FLAG_BOLD);
    impl->slantSynthetic = italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);

    // The desktop's line height uses the font's Windows ascent and descent; other faces fall
    // back to the scaled hhea metrics.
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0 &&
        face->units_per_EM > 0) {
        const double scale = static_cast<double>(pixelHeight) / face->units_per_EM;
        impl->ascent = static_cast<int>(std::lround(os2->usWinAscent * scale));
        impl->descent = static_cast<int>(std::lround(os2->usWinDescent * scale));
    } else {
        impl->ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
        impl->descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
    }
    return std::unique_ptr<FontFace>(new FontFace(std::move(impl)));
}

TextExtent FontFace::Measure(std::string_view text) const
{
    int width = 0;
    for (char c : text)
        width += c_pImpl->GlyphFor(static_cast<unsigned char>(c)).advance;
    return {width, c_pImpl->ascent + c_pImpl->descent};
}

void FontFace::Draw(std::string_view text, int x, int y, const CoverageBitmap& target) const
{
    const int baseline = y + c_pImpl->ascent;
    int pen = x;
    for (char c : text) {
        const Glyph& glyph = c_pImpl->GlyphFor(static_cast<unsigned char>(c));
        const int left = pen + glyph.left;
        const int top = baseline - glyph.top;
        const int rowBegin = std::max(0, -top);
        const int rowEnd = std::min(glyph.rows, target.height - top);
        const int colBegin = std::max(0, -left);
        const int colEnd = std::min(glyph.width, target.width - left);
        for (int row = rowBegin; row < rowEnd; ++row) {
            const std::uint8_t* source = glyph.coverage.data() + static_cast<std::ptrdiff_t>(row) * glyph.width;
            std::uint8_t* dest = target.pixels + static_cast<std::ptrdiff_t>(top + row) * target.pitch + left;
            for (int col = colBegin; col < colEnd; ++col)
                dest[col] = std::max(dest[col], source[col]);
        }
        pen += glyph.advance;
    }
}

int FontFace::Ascent() const { return c_pImpl->ascent; }
int FontFace::Descent() const { return c_pImpl->descent; }
int FontFace::PixelHeight() const { return c_pImpl->pixelHeight; }

std::string FontFace::Description() const
{
    const FT_Face face = c_pImpl->face.get();
    std::string text = face->family_name ? face->family_name : "(unnamed)";
    if (face->style_name)
        text += std::string(" ") + face->style_name;
    return text;
}

}  // namespace platform
