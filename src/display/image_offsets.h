// The rotation offsets of the game's scrambled images. The content generator scrambles each
// picture with the offset the game opens it with, so both sides take them from here.
#pragma once

#include <cstdint>
#include <string_view>

// One offset for each group of interface pictures.
constexpr int kMenuImageOffset = 1203;     // data/menu/background, restore, save, credits
constexpr int kTopMenuImageOffset = 877;   // data/menu/Top1..Top6
constexpr int kCursorImageOffset = 331;    // data/cursor/*

// The offset of a world picture (screens, overlays, strips, items, book pages): derived from
// its path so that the world definition and the generator agree without a table. Always in
// 1..4093, smaller than any picture file the game uses.
constexpr int ScrambleOffsetFor(std::string_view path)
{
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (char c : path) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return static_cast<int>(hash % 4093u) + 1;
}

// An item's pictures ("data/invenN.enc" and its masks "data/invenN_alpha1.enc",
// "data/invenN_alpha2.enc") all open with one offset: the offset of the item's own picture.
constexpr int ItemImageOffset(int item)
{
    char path[32] = "data/inven";
    int length = 10;
    char digits[12];
    int count = 0;
    for (unsigned n = static_cast<unsigned>(item); count == 0 || n != 0; n /= 10) digits[count++] = static_cast<char>('0' + n % 10);
    while (count > 0) path[length++] = digits[--count];
    for (char c : std::string_view(".enc")) path[length++] = c;
    return ScrambleOffsetFor(std::string_view(path, static_cast<std::size_t>(length)));
}
