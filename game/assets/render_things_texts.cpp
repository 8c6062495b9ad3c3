// The views that are read: the letter of appointment on the keeper's desk, the open watch
// with the bells engraved in its lid, the tide post's board, the gallery's brass plaque, the
// dome stair's star chart, the drowned hall's bronze plaque and the open books. Each is a scene
// of the library's texts/ folder, whose sheet or plate faces the camera squarely; the text is
// set with the game's serif face over the render, where the sheet or plate lies, at the sizes
// the painted views used.
#include <string>
#include <vector>

#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_things.h"
#include "game/assets/world_texts.h"
#include "game/assets/world_art.h"

namespace world_render {

namespace {

namespace wc = world_content;
using content::Canvas;
using content::Hex;
using content::Rect;
using content::Rgb;

// The picture of a place the world numbers `screen`.
std::string ImageOf(int screen)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.number == screen) return place.image;
    throw Error("the world has no place " + std::to_string(screen));
}

const Rgb kInk = Hex(0x2a1a10);

// Heading (centred, bold) and paragraph set in `area`; with a highlight, every stroke gets a
// pale edge below and to the right, as letters cut into metal or wood catch the light.
int SetText(Canvas& c, const content::PageText& page, Rect area, Rgb ink, const Rgb* highlight, int paragraphTop = 0)
{
    const int centre = static_cast<int>(area.CentreX());
    const int top = paragraphTop > 0 ? paragraphTop : area.y + 62;
    if (highlight) {
        c.Text(page.heading, centre + 1, area.y + 1, 30, *highlight, true, false, content::TextAlign::Centre);
        c.Paragraph(page.text, area.x + 1, top + 1, area.w, 22, 1.35f, *highlight);
    }
    c.Text(page.heading, centre, area.y, 30, ink, true, false, content::TextAlign::Centre);
    return c.Paragraph(page.text, area.x, top, area.w, 22, 1.35f, ink);
}

imaging::Image Finished(const imaging::Image& picture, const std::function<void(Canvas&)>& draw)
{
    Canvas c = CanvasOf(picture);
    draw(c);
    return c.ToImage();
}

// ---- the letter of appointment ----

// The text on the sheet of texts/letter.pov.
constexpr Rect kLetterText{226, 52, 572, 330};

ReadView LetterView(const wc::ReadViewDef& def, const TextCatalogue& texts)
{
    const content::PageText letter = content::AppointmentLetter(texts);
    return {wc::Art().items[static_cast<std::size_t>(def.item - 1)].closeUp, def.scene,
            [letter](imaging::Image picture) {
                return Finished(picture, [&letter](Canvas& c) { SetText(c, letter, kLetterText, kInk, nullptr, 112); });
            },
            kLetterText};
}

// ---- the keeper's watch ----

// The lid's inside in texts/watch.pov, where the engraving is cut: its centre and radius.
constexpr double kLidColumn = 300, kLidRow = 220, kLidRadius = 212;

ReadView WatchView(const wc::ReadViewDef& def, const TextCatalogue& texts)
{
    const Rect field{static_cast<int>(kLidColumn - kLidRadius), static_cast<int>(kLidRow - kLidRadius),
                     static_cast<int>(2 * kLidRadius), static_cast<int>(2 * kLidRadius)};
    const content::PageText dedication = content::WatchDedication(texts);
    return {wc::Art().items[static_cast<std::size_t>(def.item - 1)].closeUp, def.scene,
            [dedication](imaging::Image picture) {
                return Finished(picture, [&dedication](Canvas& c) {
                    // Engraved: dark cuts, each with a bright edge where the burnished metal
                    // catches the light.
                    const Rgb cut = Hex(0x2a1806), edge = Hex(0xfff0c0);
                    const content::PageText& d = dedication;
                    const int x = static_cast<int>(kLidColumn), y = static_cast<int>(kLidRow);
                    // Two lines; a translation given as one line leaves the second empty.
                    const std::size_t split = d.text.find('\n');
                    const std::string first = d.text.substr(0, split);
                    const std::string second = split == std::string::npos ? std::string() : d.text.substr(split + 1);
                    for (const auto& [colour, shift] : {std::pair<Rgb, int>{edge, 1}, std::pair<Rgb, int>{cut, 0}}) {
                        c.Text(d.heading, x + shift, y - 180 + shift, 30, colour, true, false, content::TextAlign::Centre);
                        c.Text(first, x + shift, y - 136 + shift, 21, colour, false, true, content::TextAlign::Centre);
                        c.Text(second, x + shift, y - 110 + shift, 21, colour, false, true, content::TextAlign::Centre);
                    }
                    content::DrawWatchBells(c, x - 3.5f * 45 + 1, y - 54 + 1, 45, 0.9f, edge);
                    content::DrawWatchBells(c, x - 3.5f * 45, y - 54, 45, 0.9f, cut);
                });
            },
            field};
}

// ---- the places' plates ----

// The board of texts/tide_post.pov.
constexpr Rect kPostBoard{188, 62, 648, 268};

// The plates of texts/gallery_plaque.pov, drowned_plaque.pov and star_chart.pov, and the
// star chart's enamel panel.
constexpr Rect kGalleryPlate{252, 50, 520, 370};
constexpr Rect kDrownedPlate{252, 44, 520, 384};
constexpr Rect kDomePlate{132, 14, 760, 418};
constexpr Rect kDomeChart{162, 192, 700, 228};

// The text a place shows: the texts the read view names.
content::PageText PlaceText(const wc::ReadViewDef& def, const TextCatalogue& texts)
{
    if (def.text == nullptr) throw Error(std::string("the read view ") + def.scene + " names no text to set");
    return content::PlateText(texts, def.text);
}

ReadView PlateView(const wc::ReadViewDef& def, const TextCatalogue& texts)
{
    const std::string setting = def.setting;
    const Rgb brassEdge = Hex(0xf4dca0);
    if (setting == "painted_board") {
        const Rect text{kPostBoard.x + 40, kPostBoard.y + 20, kPostBoard.w - 80, kPostBoard.h - 30};
        const content::PageText page = PlaceText(def, texts);
        const Rgb paint = Hex(0x1c140e);
        return {ImageOf(def.screen), def.scene, [page, text, paint](imaging::Image picture) {
                    return Finished(picture, [&](Canvas& c) { SetText(c, page, text, paint, nullptr, text.y + 52); });
                }, text};
    }
    if (setting == "brass_plaque") {
        const Rect text{kGalleryPlate.x + 40, kGalleryPlate.y + 44, kGalleryPlate.w - 80, kGalleryPlate.h - 80};
        const content::PageText page = PlaceText(def, texts);
        return {ImageOf(def.screen), def.scene, [page, text, brassEdge](imaging::Image picture) {
                    return Finished(picture, [&](Canvas& c) { SetText(c, page, text, kInk, &brassEdge); });
                }, text};
    }
    if (setting == "bronze_plaque") {
        const Rect text{kDrownedPlate.x + 44, kDrownedPlate.y + 56, kDrownedPlate.w - 88, kDrownedPlate.h - 100};
        const content::PageText page = PlaceText(def, texts);
        const Rgb edge = Hex(0xd8e8d0);
        return {ImageOf(def.screen), def.scene, [page, text, edge](imaging::Image picture) {
                    return Finished(picture, [&](Canvas& c) { SetText(c, page, text, Hex(0x14100a), &edge); });
                }, text};
    }
    if (setting == "star_chart") {
        const Rect text{kDomePlate.x + 50, kDomePlate.y + 22, kDomePlate.w - 100, 160};
        const content::PageText page = PlaceText(def, texts);
        const content::FigureNames names = content::FigureNamesOf(texts);
        return {ImageOf(def.screen), def.scene, [page, names, text, brassEdge](imaging::Image picture) {
                    return Finished(picture, [&](Canvas& c) {
                        SetText(c, page, text, kInk, &brassEdge, text.y + 54);
                        content::DrawStarFigures(c, kDomeChart.x + (kDomeChart.w - 642) / 2.0f, kDomeChart.y + 8.0f, 1.0f,
                                                 names);
                    });
                }, {text.x, text.y, text.w, kDomeChart.Bottom() - text.y}};
    }
    throw Error("the read view " + std::string(def.scene) + " of a place sets its text as '" + setting +
                "', which no place's text is set as");
}

// ---- the books ----

// Each book lies open on the desk, the same render under every page of it.
constexpr Rect kPageText{36, 40, 952, 450};  // both pages' text, numbers and turning marks

// The world's note of the read view that `matches` picks; throws Error `missing` without one.
template <class Match>
const wc::ReadViewDef& ReadDef(Match matches, const std::string& missing)
{
    for (const wc::ReadViewDef& def : wc::Art().readViews)
        if (matches(def)) return def;
    throw Error(missing);
}

}  // namespace

ReadView BookPageView(const std::string& book, int index, const TextCatalogue& texts)
{
    const wc::ReadViewDef& def = ReadDef([&book](const wc::ReadViewDef& d) { return d.book != nullptr && d.book == book; },
                                         "the world files note no read view of the book " + book);
    const std::vector<const char*>& paths = wc::Art().BookPages(book);
    if (index < 0 || static_cast<std::size_t>(index) >= paths.size())
        throw Error("the book " + book + " has no page " + std::to_string(index + 1));
    const content::BookPage page =
        content::PagesOf(book, paths.size(), def.seed, texts)[static_cast<std::size_t>(index)];
    return {paths[static_cast<std::size_t>(index)], def.scene,
            [page](imaging::Image picture) {
                return Finished(picture, [&page](Canvas& c) { content::SetBookPage(c, page); });
            },
            kPageText};
}

ReadView ItemReadView(int item, const TextCatalogue& texts)
{
    const wc::ReadViewDef& def = ReadDef([item](const wc::ReadViewDef& d) { return d.item == item; },
                                         "item " + std::to_string(item) + " is not read");
    const std::string setting = def.setting;
    if (setting == "letter") return LetterView(def, texts);
    if (setting == "engraved_lid") return WatchView(def, texts);
    throw Error("the read view " + std::string(def.scene) + " of item " + std::to_string(item) + " sets its text as '" +
                setting + "', which no item's text is set as");
}

ReadView PlaceReadView(int screen, const TextCatalogue& texts)
{
    return PlateView(ReadDef([screen](const wc::ReadViewDef& d) { return d.screen == screen; },
                             "screen " + std::to_string(screen) + " shows no board or plate to read"),
                     texts);
}

void AddReadViews(std::vector<content::Asset>& rendered, const TextCatalogue& texts)
{
    std::vector<ReadView> views;
    std::vector<std::string> books;
    for (const wc::ReadViewDef& def : wc::Art().readViews) {
        if (def.item != 0) views.push_back(ItemReadView(def.item, texts));
        if (def.screen != 0) views.push_back(PlaceReadView(def.screen, texts));
        if (def.book != nullptr) books.push_back(def.book);
    }
    for (ReadView& v : views) {
        render::PictureOut out;
        out.finish = std::move(v.finish);
        rendered.push_back(render::RenderedPicture(
            v.path, {v.path, "", content::kFlatWidth, content::kFlatHeight, false, false, v.sceneFile}, out, 10.0));
        rendered.back().carriesText = true;
    }
    // A book's pages share its scene (one render, then the cache) and its scramble offset.
    for (const std::string& book : books) {
        const std::vector<const char*>& paths = wc::Art().BookPages(book);
        for (std::size_t i = 0; i < paths.size(); ++i) {
            ReadView v = BookPageView(book, static_cast<int>(i), texts);
            render::PictureOut out;
            out.offset = wc::BookOffset(paths.data());
            out.finish = std::move(v.finish);
            rendered.push_back(render::RenderedPicture(
                v.path, {v.path, "", content::kFlatWidth, content::kFlatHeight, false, false, v.sceneFile}, out, 1.5));
            rendered.back().carriesText = true;
        }
    }
}

}  // namespace world_render
