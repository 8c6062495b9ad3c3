// One line of the end credits: its text, its kind (which is also the index of its font) and
// its width in that font, measured once when the line is made. Plain data.
#pragma once

#include <string>

class CD3DFont;

class CreditsLine {
public:
    // Kinds of line, each drawn with its own font.
    static constexpr int kPlain = 0;
    static constexpr int kBold = 1;
    static constexpr int kItalic = 2;

    // Keeps a copy of `text` and measures it with `font` (not kept).
    CreditsLine(const char* text, CD3DFont* font, int type);

    const char* get_line() const { return c_lpcLine.c_str(); }
    // Width in screen pixels in the line's font.
    int get_width() const { return c_iWidth; }
    int get_type() const { return c_iNumber; }

private:
    std::string c_lpcLine;
    int c_iWidth = 0;
    int c_iNumber;
};
