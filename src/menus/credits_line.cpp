#include "menus/credits_line.h"

#include "display/cd3dfont.h"

CreditsLine::CreditsLine(const char* text, CD3DFont* font, int type)
    : c_lpcLine(text != nullptr ? text : ""), c_iNumber(type)
{
    SIZE extent{};
    if (font != nullptr && font->GetTextExtent(c_lpcLine.c_str(), &extent) == S_OK) c_iWidth = extent.cx;
}
