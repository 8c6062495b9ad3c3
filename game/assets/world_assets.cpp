// The world's assets: every picture, sound and film that Kelvane's world definition names,
// painted from what the world files note (game/assets/world_art.h), the same places the game
// loads, so that exits, machines and panels stand where their hotspots are. Also the books, the letter and the plaques, their texts
// from the game's catalogue: the clues by which every puzzle of the island can be solved.
#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "content/dmath.h"
#include "content/generator.h"
#include "core/error.h"
#include "core/latin1_text.h"
#include "imaging/scrambled.h"
#include "game/assets/world_art.h"
#include "game/assets/world_texts.h"

namespace content {

namespace {

namespace wc = world_content;

std::string Narrow(const wchar_t* path)
{
    std::string out;
    for (const wchar_t* p = path; *p != 0; ++p) out.push_back(static_cast<char>(*p));
    return out;
}

// ---- looks of the realms ----

struct RealmLook {
    Setting setting;
    Palette palette;
    float ambient;
};

RealmLook LookOf(wc::Realm realm)
{
    switch (realm) {
    case wc::Realm::Opening:
    case wc::Realm::Shore:
        return {Setting::Court, {Hex(0x3a4a78), Hex(0x7a746c), Hex(0x4a4a44), Hex(0x3a5a34), Hex(0xffa860)}, 0.75f};
    case wc::Realm::Hall:
        return {Setting::Hall, {Hex(0x3a2a20), Hex(0x8a7a66), Hex(0x6a5a4a), Hex(0x6a4628), Hex(0xffa850)}, 0.75f};
    case wc::Realm::Cistern:
        return {Setting::Cave, {Hex(0x0a1014), Hex(0x34484c), Hex(0x123440), Hex(0x2a4a40), Hex(0xffc070)}, 0.4f};
    case wc::Realm::Tide:
        return {Setting::Court, {Hex(0x5a6a90), Hex(0x8a8478), Hex(0x3a5a6a), Hex(0x4a5a3a), Hex(0xffc080)}, 0.8f};
    case wc::Realm::Tower:
        return {Setting::Hall, {Hex(0x2a2a30), Hex(0x7a7470), Hex(0x5a5048), Hex(0x5a4030), Hex(0xffb060)}, 0.65f};
    case wc::Realm::Gallery:
        return {Setting::Hall, {Hex(0x1a1a22), Hex(0x6a6058), Hex(0x4a4038), Hex(0x8a6a30), Hex(0xffd070)}, 0.5f};
    case wc::Realm::Dome:
        return {Setting::Hall, {Hex(0x101838), Hex(0x707890), Hex(0x505060), Hex(0xa08040), Hex(0xc0d0ff)}, 0.6f};
    case wc::Realm::Drowned:
        return {Setting::Cave, {Hex(0x061010), Hex(0x2a4440), Hex(0x0e3030), Hex(0x305a48), Hex(0xffc070)}, 0.3f};
    }
    return {Setting::Hall, {}, 0.7f};
}

bool KindOf(wc::Look look, LandmarkKind& kind)
{
    switch (look) {
    case wc::Look::Door: kind = LandmarkKind::Door; return true;
    case wc::Look::Arch: kind = LandmarkKind::Arch; return true;
    case wc::Look::Tunnel: kind = LandmarkKind::Tunnel; return true;
    case wc::Look::Window: kind = LandmarkKind::Window; return true;
    case wc::Look::Pillar: kind = LandmarkKind::Pillar; return true;
    case wc::Look::Torch: kind = LandmarkKind::Torch; return true;
    case wc::Look::Stairs: kind = LandmarkKind::Stairs; return true;
    case wc::Look::Machine: kind = LandmarkKind::Machine; return true;
    case wc::Look::Gate: kind = LandmarkKind::Gate; return true;
    case wc::Look::Tree: kind = LandmarkKind::Tree; return true;
    case wc::Look::Pool: kind = LandmarkKind::Pool; return true;
    case wc::Look::Desk: kind = LandmarkKind::Desk; return true;
    case wc::Look::Panel: kind = LandmarkKind::Panel; return true;
    case wc::Look::Moon: kind = LandmarkKind::Moon; return true;
    case wc::Look::None:
    case wc::Look::Strip: return false;
    }
    return false;
}

// A place as the painter sees it; `landmarkOf[i]` is the landmark drawn for feature i (-1: none).
struct Painted {
    PlaceSpec scene;
    std::vector<int> landmarkOf;
};

Painted PaintedPlace(const wc::Place& place)
{
    const RealmLook look = LookOf(place.realm);
    Painted p;
    p.scene.seed = place.seed;
    p.scene.setting = look.setting;
    p.scene.palette = look.palette;
    p.scene.ambient = look.ambient;
    for (const wc::Feature& f : place.features) {
        if (f.look == wc::Look::None && f.target < 0) break;
        LandmarkKind kind{};
        if (!KindOf(f.look, kind)) {
            p.landmarkOf.push_back(-1);
            continue;
        }
        p.landmarkOf.push_back(static_cast<int>(p.scene.landmarks.size()));
        p.scene.landmarks.push_back({kind, {f.x1, f.y1, f.x2 - f.x1, f.y2 - f.y1}, f.active});
    }
    return p;
}

const wc::Place& PlaceNumbered(int number)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.number == number) return place;
    return wc::Art().places[0];
}

// The ways that only the lamp opens are drawn dark: the landmark sinks into shadow.
constexpr float kDarkWay = 0.3f;

std::vector<Rect> DarkWays(const wc::Place& place)
{
    std::vector<Rect> ways;
    for (const wc::Feature& f : place.features) {
        if (f.look == wc::Look::None && f.target < 0) break;
        if (f.way == wc::Way::Dark) ways.push_back({f.x1, f.y1, f.x2 - f.x1, f.y2 - f.y1});
    }
    return ways;
}

void DrawDark(Canvas& c, const std::vector<Rect>& ways, int dx = 0, int dy = 0)
{
    for (const Rect& r : ways) c.Darken({r.x - dx, r.y - dy, r.w, r.h}, kDarkWay, 24.0f);
}

// ---- items ----

struct ItemLook {
    ItemKind kind;
    Rgb tint;
};
const ItemLook kItemLooks[8] = {
    {ItemKind::Journal, Hex(0x6a3a22)},   // the keeper's logbook
    {ItemKind::Notebook, Hex(0xd8c8a0)},  // the letter of appointment
    {ItemKind::Key, Hex(0x8a8a90)},       // the iron gate key
    {ItemKind::Gear, Hex(0xa07040)},      // the crank handle
    {ItemKind::Lantern, Hex(0xffc860)},   // the hand lamp, lit
    {ItemKind::Notebook, Hex(0x2c4a6e)},  // the bundle of letters
    {ItemKind::Medallion, Hex(0xd0b060)}, // the keeper's watch
    {ItemKind::Crystal, Hex(0xa0d8ff)},   // the last lens
};

// A picture written under `gamePath` but scrambled with `offset` (a book's or a screen's
// shared offset) instead of the path's own.
void SharedOffsetPicture(AssetList& list, const std::string& gamePath, int offset, std::function<Canvas()> paint,
                         PictureFormat format, double weight)
{
    list.Add({gamePath, {gamePath}, weight, [gamePath, offset, paint = std::move(paint), format](const AssetContext& out) {
                  WritePicture(out.outputDir, gamePath, paint().ToImage(), format, out.previewDir, offset);
              }});
}

// The item lying in the middle of a block: its picture blended in through its mask.
void LayItem(Canvas& block, int item)
{
    const ItemPictures pictures = PaintItem(kItemLooks[item - 1].kind, kItemLooks[item - 1].tint);
    const int left = (block.Width() - kItemSide) / 2;
    const int top = (block.Height() - kItemSide) / 2;
    for (int y = 0; y < kItemSide; ++y) {
        for (int x = 0; x < kItemSide; ++x) {
            const int bx = left + x, by = top + y;
            if (bx < 0 || by < 0 || bx >= block.Width() || by >= block.Height()) continue;
            const float a = pictures.normal[static_cast<std::size_t>(y) * kItemSide + x];
            block.At(bx, by) = Mix(block.At(bx, by), pictures.picture.At(x, y), a);
        }
    }
}

// ---- texts ----

const Rgb kInk = Hex(0x2a1a10);
const Rgb kPaper = Hex(0xe8dcc0);

// A sheet of paper with a heading and a paragraph: letters, engravings and plaques.
Canvas PaintSheet(const std::string& heading, const std::string& text, Rgb paper, Rgb ink)
{
    Canvas c(kFlatWidth, kFlatHeight, false, Hex(0x1a1410));
    c.FillRoundRect({150, 20, 724, 472}, 12.0f, paper);
    c.Text(heading, 512, 50, 30, ink, true, false, TextAlign::Centre);
    c.Paragraph(text, 200, 110, 624, 22, 1.35f, ink);
    return c;
}

// The lid of the keeper's watch: the engraving, then the eight bells of his watch in a row,
// each with its strokes cut beneath it in pairs, as a ship's bell is struck. No figures: the
// cabinet's wheels are read by counting.
Canvas PaintWatchLid(const std::string& initials, const std::string& engraving)
{
    const Rgb brass = Hex(0xd8c078);
    Canvas c = PaintSheet(initials, engraving, brass, kInk);
    DrawWatchBells(c, 232.0f, 260.0f, 80.0f, 1.0f, kInk);
    return c;
}

// The star chart on the plaque by the dome stair: the four figures as the sky shows them,
// each star in its place of a three-by-three window, joined by the lines that make the
// figure, with stray stars of no figure among them. No panes are drawn.
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

Canvas PaintStarChart(const PageText& plaque, const FigureNames& names)
{
    const Rgb night = Hex(0x10183a);
    Canvas c = PaintSheet(plaque.heading, plaque.text, Hex(0xb89a5a), kInk);
    c.FillRoundRect({170, 200, 684, 290}, 8.0f, night);
    DrawStarFigures(c, 200.0f, 225.0f, 1.0f, names);
    return c;
}

// The cabinet's release knob, below its wheels (block offset dx, dy when painted into an overlay).
void PaintReleaseKnob(Canvas& c, int dx = 0, int dy = 0)
{
    const float cx = (wc::Art().cabinetRelease[0] + wc::Art().cabinetRelease[2]) * 0.5f - dx;
    const float cy = (wc::Art().cabinetRelease[1] + wc::Art().cabinetRelease[3]) * 0.5f - dy;
    c.FillEllipse(cx, cy, 34, 34, Hex(0x3a2a18));
    c.FillEllipse(cx, cy, 28, 28, Hex(0xb08a40));
    c.FillEllipse(cx - 7, cy - 8, 9, 7, Hex(0xe0c070), 0.8f);
}

// Pages 1 .. count of a book whose texts are "<book>.pNN.heading" and "<book>.pNN.body".
std::vector<BookPage> Pages(const TextCatalogue& texts, const char* book, std::size_t count, std::uint32_t seed)
{
    std::vector<BookPage> pages;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string number = std::to_string(i + 1);
        const std::string page = std::string(book) + ".p" + (i + 1 < 10 ? "0" : "") + number + ".";
        pages.push_back({PictureText(texts, page + "heading"), PictureText(texts, page + "body"), static_cast<int>(i + 1),
                         seed + static_cast<std::uint32_t>(i)});
    }
    return pages;
}

void AddBook(AssetList& list, const std::vector<const char*>& paths, const std::vector<BookPage>& pages)
{
    const int offset = wc::BookOffset(paths.data());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const BookPage page = pages[i];
        SharedOffsetPicture(list, paths[i], offset, [page] { return PaintBookPage(page); }, PictureFormat::Jpeg, 1.5);
    }
}

// ---- places ----

// The names painted above the star panels and the tide clock; the cabinet's wheels have an
// empty one. None for every other screen.
std::optional<std::string> PanelName(int screen, const TextCatalogue& texts)
{
    if (screen >= 752 && screen <= 755) return FigureNamesOf(texts)[static_cast<std::size_t>(screen - 752)];
    if (screen == 650) return PictureText(texts, "panel.tideclock");
    if (screen == 451) return std::string();
    return std::nullopt;
}

// The tide's picture at `tide` (1 high .. 4 lowest): the water falls and the sand widens.
PlaceSpec TideSpec(const wc::Place& place, int tide)
{
    PlaceSpec scene = PaintedPlace(place).scene;
    const float fall = (tide - 1) / 3.0f;  // 0 at high water, 1 at the lowest ebb
    scene.ambient = 0.8f + 0.1f * fall;
    for (Landmark& l : scene.landmarks) {
        if (l.kind != LandmarkKind::Pool) continue;
        const int grow = static_cast<int>(500 * (1.0f - fall));
        l.where.x -= grow;
        l.where.w += 2 * grow;
        const int top = 330 + static_cast<int>(120 * fall);
        l.where.h = std::max(20, l.where.y + l.where.h - top + static_cast<int>(40 * (1.0f - fall)));
        l.where.y = top;
    }
    if (tide == 4) scene.landmarks.push_back({LandmarkKind::Stairs, {1560, 300, 160, 150}, false});
    return scene;
}

void AddPlaces(AssetList& list, const TextCatalogue& texts)
{
    for (const wc::Place& place : wc::Art().places) {
        if (const std::optional<PageText> text = TextOf(place.number, texts)) {
            const PageText t = *text;
            list.TextPicture(place.image, [t] { return PaintSheet(t.heading, t.text, Hex(0xb89a5a), kInk); }, PictureFormat::Jpeg);
            continue;
        }
        const Painted painted = PaintedPlace(place);
        if (place.number >= 600 && place.number <= 603) {
            list.Panorama(place.image, TideSpec(place, 1));
            continue;
        }
        const std::vector<Rect> dark = DarkWays(place);
        if (!dark.empty()) {
            const PlaceSpec scene = painted.scene;
            const bool panorama = place.panorama;
            list.Picture(place.image, [scene, dark, panorama] {
                Canvas c = panorama ? PaintPanorama(scene) : PaintFlatView(scene);
                DrawDark(c, dark);
                return c;
            }, PictureFormat::Jpeg, place.panorama ? 4.0 : 2.0);
        } else if (place.number == 750) {
            const PageText plaque = StarPlaque(texts);
            const FigureNames names = FigureNamesOf(texts);
            list.TextPicture(place.image, [plaque, names] { return PaintStarChart(plaque, names); }, PictureFormat::Jpeg);
        } else if (place.number == 451) {
            const PlaceSpec scene = painted.scene;
            list.Picture(place.image, [scene] {
                Canvas c = PaintFlatView(scene);
                PaintReleaseKnob(c);
                return c;
            }, PictureFormat::Jpeg, 2.0);
        } else if (place.panorama) {
            list.Panorama(place.image, painted.scene);
        } else if (const std::optional<std::string> name = PanelName(place.number, texts)) {
            const std::string label = *name;
            const PlaceSpec scene = painted.scene;
            list.TextPicture(place.image, [scene, label] {
                Canvas c = PaintFlatView(scene);
                if (!label.empty()) c.Text(label, 512, 24, 34, Hex(0xf0d890), true, false, TextAlign::Centre);
                return c;
            }, PictureFormat::Jpeg, 2.0);
        } else {
            list.FlatView(place.image, painted.scene);
        }
    }
    // The tide's versions, scrambled with their screen's offset.
    for (const wc::TideVersion& v : wc::Art().tideVersions) {
        const wc::Place& place = PlaceNumbered(v.screen);
        const int offset = ScrambleOffsetFor(place.image);
        for (int tide = 2; tide <= 4; ++tide) {
            const PlaceSpec scene = TideSpec(place, tide);
            SharedOffsetPicture(list, v.versions[tide - 2], offset, [scene] { return PaintPanorama(scene); },
                                PictureFormat::Jpeg, 4.0);
        }
    }
}

void AddOverlays(AssetList& list)
{
    for (const wc::OverlayDef& o : wc::Art().overlays) {
        const wc::Place& place = PlaceNumbered(o.screen);
        Painted painted = PaintedPlace(place);
        PlaceSpec changed = painted.scene;
        if (o.screen >= 600 && o.screen <= 603) changed = TideSpec(place, 1);
        const int landmark = o.feature < static_cast<int>(painted.landmarkOf.size()) ? painted.landmarkOf[o.feature] : -1;
        const bool toggled = o.shows == wc::Shows::Changed || (o.shows == wc::Shows::Item && o.open);
        if (toggled && landmark >= 0) changed.landmarks[landmark].active = !changed.landmarks[landmark].active;
        if (o.shows == wc::Shows::Removed && landmark >= 0) changed.landmarks.erase(changed.landmarks.begin() + landmark);
        const Rect r{o.x, o.y, o.w, o.h};
        const bool panorama = place.panorama;
        const int item = o.shows == wc::Shows::Item ? o.item : 0;
        const std::vector<Rect> dark = DarkWays(place);
        const bool knob = o.screen == 451;
        list.Picture(o.image, [changed, panorama, r, item, dark, knob] {
            Canvas block = PaintOverlay(changed, panorama, r);
            DrawDark(block, dark, r.x, r.y);
            if (item > 0) LayItem(block, item);
            if (knob) PaintReleaseKnob(block, r.x, r.y);
            return block;
        }, PictureFormat::Png, 0.5);
    }
}

void AddStrips(AssetList& list)
{
    for (const wc::KeyPanel& panel : wc::Art().keyPanels) {
        const wc::GridDef& grid = wc::Art().grids[panel.grid - 1];
        list.Strip(panel.strip, panel.w, panel.h, grid.max + 1,
                   panel.style == wc::KeyStyle::Digits ? StripStyle::Digits : StripStyle::Lamps);
    }
}

void AddItems(AssetList& list, const TextCatalogue& texts)
{
    for (const wc::ItemDef& item : wc::Art().items) {
        const ItemLook look = kItemLooks[item.number - 1];
        // The letter and the watch's lid are read, not looked at: their close-ups are texts.
        const bool text = item.number == 2 || item.number == 7;
        list.Item(item.number, look.kind, look.tint, item.closeUp != nullptr && !text ? item.closeUp : "");
    }
    const PageText letter = AppointmentLetter(texts);
    list.TextPicture(wc::Art().items[1].closeUp, [letter] { return PaintSheet(letter.heading, letter.text, kPaper, kInk); },
                 PictureFormat::Jpeg);
    const std::string initials = PictureText(texts, "watch.initials"), engraving = PictureText(texts, "watch.lid.body");
    list.TextPicture(wc::Art().items[6].closeUp, [initials, engraving] { return PaintWatchLid(initials, engraving); },
                 PictureFormat::Jpeg);
}

// The opening, the ending and the placeholder.
void AddSequences(AssetList& list, const TextCatalogue& texts)
{
    const RealmLook shore = LookOf(wc::Realm::Shore);
    const std::string title = PictureText(texts, "title.name"), tagline = PictureText(texts, "title.tagline");
    list.TextPicture(wc::Art().logoImage, [title, tagline] {
        Canvas c(kFlatWidth, kFlatHeight, false, Hex(0x05070c));
        c.Glow(512, 200, 260, Hex(0xffc070), 0.6f);
        c.Text(title, 512, 210, 72, Hex(0xedb469), true, false, TextAlign::Centre);
        c.Text(tagline, 512, 300, 26, Hex(0xc0a070), false, true, TextAlign::Centre);
        return c;
    }, PictureFormat::Jpeg);
    PlaceSpec boat{11, shore.setting, shore.palette, {{LandmarkKind::Moon, {700, 60, 70, 70}}, {LandmarkKind::Pool, {0, 330, 1024, 182}}}, 0.55f};
    list.FlatView(wc::Art().boatImage, boat);
    PlaceSpec causeway{12, shore.setting, shore.palette,
                       {{LandmarkKind::Stairs, {420, 200, 184, 240}}, {LandmarkKind::Window, {480, 80, 64, 100}},
                        {LandmarkKind::Pool, {0, 400, 380, 112}}, {LandmarkKind::Pool, {644, 400, 380, 112}}},
                       0.65f};
    list.FlatView(wc::Art().causewayImage, causeway);
    PlaceSpec dawn{13, Setting::Court, {Hex(0xe0a070), Hex(0x8a7a6c), Hex(0x4a5a6a), Hex(0x3a5a34), Hex(0xfff0c0)},
                   {{LandmarkKind::Window, {470, 60, 84, 120}, true}, {LandmarkKind::Pool, {0, 380, 1024, 132}}},
                   0.95f};
    list.FlatView(wc::Art().endingImage, dawn);
}

// ---- films ----

Shot ShotOf(int screen, double seconds, float from, float to, ShotEffect effect = ShotEffect::None)
{
    const wc::Place& place = PlaceNumbered(screen);
    PlaceSpec scene = PaintedPlace(place).scene;
    if (screen >= 600 && screen <= 603) scene = TideSpec(place, 1);
    return {scene, seconds, from, to, effect};
}

void AddFilm(AssetList& list, const wc::FilmDef& def, std::vector<Shot> shots, std::uint32_t seed, int fps = 25)
{
    FilmSpec film;
    film.seed = seed;
    film.seconds = def.seconds;
    film.framesPerSecond = fps;
    film.shots = std::move(shots);
    for (std::size_t i = 0; i < def.cueCount; ++i) film.subtitles.push_back({def.cues[i].time, def.cues[i].line});
    list.Film(Narrow(def.path), film);
}

void AddFilms(AssetList& list)
{
    AddFilm(list, wc::Art().Film("arrival"), {ShotOf(100, 7.0, 0.3f, 0.45f)}, 101);
    AddFilm(list, wc::Art().Film("letters"),
            {ShotOf(402, 30, 0.2f, 0.4f), ShotOf(304, 30, 0.3f, 0.45f), ShotOf(501, 30, 0.35f, 0.55f),
             ShotOf(1102, 36.5, 0.3f, 0.5f)},
            102, 12);
    AddFilm(list, wc::Art().Film("recorder"),
            {ShotOf(1103, 40, 0.2f, 0.35f), ShotOf(1101, 36, 0.3f, 0.45f), ShotOf(702, 36.5, 0.25f, 0.5f)}, 103, 12);
    AddFilm(list, wc::Art().Film("ending"),
            {ShotOf(701, 30, 0.35f, 0.5f, ShotEffect::Dawn), ShotOf(501, 30, 0.4f, 0.6f, ShotEffect::Embers),
             ShotOf(603, 40, 0.3f, 0.6f), ShotOf(105, 30, 0.4f, 0.5f), ShotOf(100, 40, 0.2f, 0.8f, ShotEffect::Dawn)},
            104, 12);
    AddFilm(list, wc::Art().Film("gate"), {ShotOf(102, 5, 0.4f, 0.45f)}, 105);
    AddFilm(list, wc::Art().Film("pump"), {ShotOf(302, 6, 0.28f, 0.36f)}, 106);
    AddFilm(list, wc::Art().Film("sea_gate"), {ShotOf(305, 7, 0.35f, 0.4f, ShotEffect::Collapse)}, 107);
    for (int tide = 0; tide < 4; ++tide) {
        const wc::Place& flats = PlaceNumbered(602);
        Shot shot{TideSpec(flats, tide + 1), wc::Art().Film("tide" + std::to_string(tide + 1)).seconds, 0.3f, 0.6f, ShotEffect::None};
        AddFilm(list, wc::Art().Film("tide" + std::to_string(tide + 1)), {shot}, 110 + static_cast<std::uint32_t>(tide));
    }
    AddFilm(list, wc::Art().Film("hatch"), {ShotOf(405, 5, 0.35f, 0.45f)}, 120);
    AddFilm(list, wc::Art().Film("lamps"), {ShotOf(501, 3, 0.5f, 0.6f, ShotEffect::Embers), ShotOf(503, 3, 0.3f, 0.4f, ShotEffect::Embers)}, 121);
    AddFilm(list, wc::Art().Film("shutter"), {ShotOf(704, 6, 0.35f, 0.5f, ShotEffect::Dawn)}, 122);
    AddFilm(list, wc::Art().Film("sea_door"), {ShotOf(1101, 3, 0.3f, 0.4f), ShotOf(105, 3, 0.4f, 0.5f, ShotEffect::Dawn)}, 123);
    AddFilm(list, wc::Art().Film("lens"), {ShotOf(701, 4, 0.35f, 0.45f), ShotOf(704, 4, 0.35f, 0.5f, ShotEffect::Dawn)}, 124);
}

}  // namespace

// The catalogue's UTF-8 becomes Latin-1 here, where the pictures take their texts: the
// typesetting reads a byte as a letter.
std::string PictureText(const TextCatalogue& texts, std::string_view id)
{
    if (const std::string* text = texts.Find(id)) return Utf8ToLatin1(*text);
    throw Error("the game's texts (kelvane.pot) have no \"" + std::string(id) + "\" for the pictures");
}

std::vector<BookPage> PagesOf(Book book, const TextCatalogue& texts)
{
    switch (book) {
    case Book::Logbook: return Pages(texts, "logbook", wc::Art().BookPages("logbook").size(), 500);
    case Book::Letters: return Pages(texts, "letters", wc::Art().BookPages("letters").size(), 600);
    case Book::Register: return Pages(texts, "register", wc::Art().BookPages("register").size(), 700);
    }
    return {};
}

namespace {

PageText Plate(const TextCatalogue& texts, const std::string& id)
{
    return {PictureText(texts, id + ".heading"), PictureText(texts, id + ".body")};
}

}  // namespace

PageText AppointmentLetter(const TextCatalogue& texts) { return Plate(texts, "appointment"); }
PageText WatchDedication(const TextCatalogue& texts)
{
    return {PictureText(texts, "watch.initials"), PictureText(texts, "watch.dedication")};
}
PageText StarPlaque(const TextCatalogue& texts) { return Plate(texts, "plaque.stars"); }

// Close views that show a text rather than a place.
std::optional<PageText> TextOf(int screen, const TextCatalogue& texts)
{
    switch (screen) {
    case 150: return Plate(texts, "tidepost");
    case 550: return Plate(texts, "plaque.gallery");
    case 1150: return Plate(texts, "plaque.drowned");
    default: return std::nullopt;
    }
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

void AddWorldAssets(AssetList& list, const TextCatalogue& texts)
{
    AddSequences(list, texts);
    AddPlaces(list, texts);
    AddOverlays(list);
    AddStrips(list);
    AddItems(list, texts);
    AddBook(list, wc::Art().BookPages("logbook"), PagesOf(Book::Logbook, texts));
    AddBook(list, wc::Art().BookPages("letters"), PagesOf(Book::Letters, texts));
    AddBook(list, wc::Art().BookPages("register"), PagesOf(Book::Register, texts));
    AddWorldSounds(list, wc::Art());
    AddFilms(list);
}

void AddWorldSounds(AssetList& list, const world_content::WorldArt& art)
{
    for (const world_content::SoundDef& sound : art.sounds) {
        SoundKind kind{};
        if (!SoundKindNamed(sound.made, &kind)) {
            throw Error(std::string(sound.where) + ": the sound '" + sound.name + "' is made as '" + sound.made +
                        "', which is no kind of sound the generator makes (" + SoundKindNames() + ")");
        }
        list.Sound(sound.file, kind, sound.seed);
    }
}

}  // namespace content
