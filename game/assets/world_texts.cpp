// The texts set into the pictures that are read, from the game's catalogue, and the clues drawn
// beside them from the world files' puzzle tables: the bells of the watch's lid and the star
// chart's figures.
#include "game/assets/world_texts.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "content/dmath.h"
#include "core/error.h"
#include "core/latin1_text.h"
#include "game/assets/world_art.h"

namespace content {

namespace {

namespace wc = world_content;

// The star chart's four figures: each star in its place of a three-by-three window, joined by
// the lines that make the figure.
struct FigureLine {
    int from, to;  // cells, row by row
};
const std::vector<FigureLine> kFigureLines[4] = {
    {{0, 4}, {4, 2}, {4, 7}, {6, 7}, {7, 8}},  // the Heron: wings raised over a long body
    {{1, 4}, {4, 7}, {3, 4}, {4, 5}},          // the Lantern: a cross of light
    {{1, 4}, {4, 7}, {6, 7}, {7, 8}},          // the Anchor: shank and arms
    {{0, 3}, {3, 4}, {4, 5}, {5, 2}},          // the Gull: two wings and nothing under them
};
const char* const kFigureIds[4] = {"figure.heron", "figure.lantern", "figure.anchor", "figure.gull"};

}  // namespace

// The catalogue's UTF-8 becomes Latin-1 here, where the pictures take their texts: the
// typesetting reads a byte as a letter.
std::string PictureText(const TextCatalogue& texts, std::string_view id)
{
    if (const std::string* text = texts.Find(id)) return Utf8ToLatin1(*text);
    throw Error("the game's texts (kelvane.pot) have no \"" + std::string(id) + "\" for the pictures");
}

std::vector<BookPage> PagesOf(const std::string& book, std::size_t count, std::uint32_t seed, const TextCatalogue& texts)
{
    std::vector<BookPage> pages;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string number = std::to_string(i + 1);
        const std::string page = book + ".p" + (i + 1 < 10 ? "0" : "") + number + ".";
        pages.push_back({PictureText(texts, page + "heading"), PictureText(texts, page + "body"), static_cast<int>(i + 1),
                         seed + static_cast<std::uint32_t>(i)});
    }
    return pages;
}

PageText PlateText(const TextCatalogue& texts, const std::string& id)
{
    return {PictureText(texts, id + ".heading"), PictureText(texts, id + ".body")};
}

PageText AppointmentLetter(const TextCatalogue& texts) { return PlateText(texts, "appointment"); }
PageText WatchDedication(const TextCatalogue& texts)
{
    return {PictureText(texts, "watch.initials"), PictureText(texts, "watch.dedication")};
}

FigureNames FigureNamesOf(const TextCatalogue& texts)
{
    FigureNames names;
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = PictureText(texts, kFigureIds[i]);
    return names;
}

void DrawWatchBells(Canvas& c, float left, float top, float pitch, float scale, Rgb ink)
{
    const float s = scale;
    for (int bell = 0; bell < 8; ++bell) {
        const float cx = left + bell * pitch;
        c.FillPolygon({{cx - 10 * s, top}, {cx + 10 * s, top}, {cx + 22 * s, top + 44 * s}, {cx - 22 * s, top + 44 * s}}, ink, 0.85f);
        c.FillEllipse(cx, top + 46 * s, 24 * s, 5 * s, ink, 0.85f);
        c.FillEllipse(cx, top + 54 * s, 5 * s, 5 * s, ink, 0.85f);
        c.FillRect({static_cast<int>(cx - 3 * s), static_cast<int>(top - 10 * s), static_cast<int>(6 * s), static_cast<int>(10 * s)}, ink, 0.85f);
        const int strokes = wc::Art().cabinetCode[bell];
        for (int i = 0; i < strokes; ++i) {
            const float x = cx + (-18 + (i % 2) * 12) * s;
            const float y = top + (78 + (i / 2) * 30) * s;
            c.Line(x, y, x, y + 22 * s, 4.0f * s, ink, 0.9f);
        }
    }
}

void DrawStarFigures(Canvas& c, float left0, float top, float scale, const FigureNames& names)
{
    const Rgb star = Hex(0xf4ecc8), line = Hex(0x8090c0);
    const float s = scale;
    Rng stray(750);
    for (int figure = 0; figure < 4; ++figure) {
        const float left = left0 + figure * 166.0f * s, step = 48.0f * s;
        auto at = [&](int cell) { return std::pair<float, float>{left + (cell % 3) * step + 12 * s, top + (cell / 3) * step + 12 * s}; };
        for (const FigureLine& l : kFigureLines[figure]) {
            const auto [x0, y0] = at(l.from);
            const auto [x1, y1] = at(l.to);
            c.Line(x0, y0, x1, y1, 2.0f * s, line, 0.7f);
        }
        for (int cell = 0; cell < 9; ++cell) {
            if (wc::Art().starPatterns[figure][cell] == 0) continue;
            const auto [x, y] = at(cell);
            c.Glow(x, y, 14.0f * s, star, 0.5f);
            c.FillEllipse(x, y, 5.0f * s, 5.0f * s, star);
        }
        // Two stray stars, off the figure's places.
        for (int i = 0; i < 2; ++i) {
            const float x = left + (6 + static_cast<float>(stray.Uniform()) * 130.0f) * s;
            const float y = top + (122 + static_cast<float>(stray.Uniform()) * 18.0f) * s;
            c.FillEllipse(x, y, 3.0f * s, 3.0f * s, star, 0.9f);
        }
        c.Text(names[static_cast<std::size_t>(figure)], static_cast<int>(left + 60 * s), static_cast<int>(top + 195 * s),
               static_cast<int>(18 * s), star, true, false, TextAlign::Centre);
    }
}


}  // namespace content
