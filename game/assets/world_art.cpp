#include "game/assets/world_art.h"

#include <cmath>
#include <mutex>
#include <set>
#include <utility>

#include "core/error.h"
#include "core/text_catalogue.h"
#include "script/world_files.h"

namespace world_content {

namespace {

const std::pair<const char*, Look> kLooks[] = {
    {"door", Look::Door},     {"arch", Look::Arch},   {"tunnel", Look::Tunnel}, {"window", Look::Window},
    {"pillar", Look::Pillar}, {"torch", Look::Torch}, {"stairs", Look::Stairs}, {"machine", Look::Machine},
    {"gate", Look::Gate},     {"tree", Look::Tree},   {"pool", Look::Pool},     {"desk", Look::Desk},
    {"panel", Look::Panel},   {"moon", Look::Moon},   {"strip", Look::Strip},
};
const std::pair<const char*, Way> kWays[] = {
    {"walk", Way::Walk}, {"choose", Way::Choose}, {"dark", Way::Dark}, {"scenery", Way::Scenery}};
const std::pair<const char*, Realm> kRealms[] = {
    {"opening", Realm::Opening}, {"shore", Realm::Shore},     {"hall", Realm::Hall},
    {"cistern", Realm::Cistern}, {"tide", Realm::Tide},       {"tower", Realm::Tower},
    {"gallery", Realm::Gallery}, {"dome", Realm::Dome},       {"drowned", Realm::Drowned},
};
const std::pair<const char*, When> kStates[] = {
    {"lamps_lit", When::LampsLit},         {"stars_set", When::StarsSet},
    {"tide_low", When::TideLow},           {"cabinet_open", When::CabinetOpen},
    {"letters_there", When::LettersThere},
};

template <typename T, std::size_t N>
bool Named(const std::pair<const char*, T> (&table)[N], const std::string& name, T* out)
{
    for (const auto& [key, value] : table)
        if (name == key) {
            *out = value;
            return true;
        }
    return false;
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

// Converts the notes of one run of the world files; every fault names the note's file:line.
class WorldArtReader {
public:
    WorldArtReader(const WorldFiles& files, const TextCatalogue& texts, WorldArt& art)
        : c_files(files), c_texts(texts), c_art(art)
    {
    }

    void Read()
    {
        for (const auto& [name, number] : c_files.get_Variables()) c_art.c_pVariables.emplace(name, number);
        // Sounds, captions and close-ups first: items and films refer to them by name.
        for (const WorldFiles::Note& note : c_files.get_Notes()) {
            c_where = &note.where;
            if (note.kind == "sound") Sound(note.value, note.where);
            else if (note.kind == "captions") Captions(note.value);
            else if (note.kind == "close_up") c_closeUps[Text(note.value, "item")] = note.value;
        }
        for (const WorldFiles::Note& note : c_files.get_Notes()) {
            c_where = &note.where;
            const WorldNote& v = note.value;
            if (note.kind == "place") c_art.places.push_back(Place(v));
            else if (note.kind == "overlay") c_art.overlays.push_back(Overlay(v));
            else if (note.kind == "key_panel") c_art.keyPanels.push_back(Panel(v));
            else if (note.kind == "tide_versions") c_art.tideVersions.push_back(Versions(v));
            else if (note.kind == "item") Item(v);
            else if (note.kind == "grid") Grid(v);
            else if (note.kind == "book") Book(v);
            else if (note.kind == "read_view") ReadView(v);
            else if (note.kind == "film") Film(v);
            else if (note.kind == "puzzles") Puzzles(v);
            else if (note.kind == "cabinet_release") Rect(v["rect"], "rect", c_art.cabinetRelease);
            else if (note.kind == "tide_lever") Rect(v["rect"], "rect", c_art.tideLever);
            else if (note.kind == "pick") {
                c_art.pickColumns = Int(v["columns"], "columns");
                c_art.pickRows = Int(v["rows"], "rows");
            }
            else if (note.kind == "opening") {
                c_art.logoImage = ImageOf(Text(v, "logo"));
                c_art.boatImage = ImageOf(Text(v, "boat"));
                c_art.causewayImage = ImageOf(Text(v, "causeway"));
            } else if (note.kind == "ending") c_art.endingImage = ImageOf(Text(v, "dawn"));
        }
        c_where = nullptr;
        NamedFiles();
        for (std::size_t i = 0; i < c_art.items.size(); ++i)
            if (c_art.items[i].picture == nullptr) Fail("item " + std::to_string(i + 1) + " is never noted");
        if (c_art.logoImage == nullptr || c_art.endingImage == nullptr) Fail("the opening and ending pictures are not noted");
    }

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw Error((c_where != nullptr ? *c_where + ": " : std::string("world files: ")) + what);
    }

    const char* Keep(const std::string& text) { return c_art.c_pStrings.emplace_back(text).c_str(); }

    // A sound: its file by name, and how it is made.
    void Sound(const WorldNote& v, const std::string& where)
    {
        const std::string name = Text(v, "name"), file = Text(v, "file");
        c_art.c_pSounds[name] = file;
        const int seed = Int(v["seed"], "seed");
        if (seed < 0) Fail("the sound '" + name + "' needs a seed of 0 or more");
        c_art.sounds.push_back({Keep(name), Keep(file), Keep(Text(v, "made")), static_cast<std::uint32_t>(seed), Keep(where)});
    }

    std::string Text(const WorldNote& v, const char* field) const
    {
        const WorldNote& f = v[field];
        if (f.kind != WorldNote::Text) Fail(std::string("the note needs the text '") + field + "'");
        return f.text;
    }
    int Int(const WorldNote& f, const char* field) const
    {
        if (f.kind != WorldNote::Number || f.number != std::floor(f.number))
            Fail(std::string("the note needs a whole number for '") + field + "'");
        return static_cast<int>(f.number);
    }
    int Int(const WorldNote& v, const char* field, int otherwise) const
    {
        return v[field].kind == WorldNote::Nil ? otherwise : Int(v[field], field);
    }
    // Fills `out` with the `count` whole numbers of the list `f`.
    void Ints(const WorldNote& f, const char* field, int* out, std::size_t count) const
    {
        if (f.kind != WorldNote::List || f.list.size() != count)
            Fail(std::string("'") + field + "' must be a list of " + std::to_string(count) + " numbers");
        for (std::size_t i = 0; i < count; ++i) out[i] = Int(f.list[i], field);
    }
    void Rect(const WorldNote& f, const char* field, int* out) const { Ints(f, field, out, 4); }

    int Number(const std::map<std::string, int>& names, const std::string& name, const char* what) const
    {
        const auto it = names.find(name);
        if (it == names.end()) Fail(std::string("unknown ") + what + " '" + name + "'");
        return it->second;
    }
    int ScreenNumber(const std::string& name) const { return Number(c_files.get_Screens(), name, "screen"); }
    int VariableNumber(const std::string& name) const { return Number(c_files.get_Variables(), name, "variable"); }

    const char* ImageOf(const std::string& screen)
    {
        for (const WorldFiles::Screen& s : c_files.get_ScreenList())
            if (s.name == screen) return Keep(s.image);
        Fail("unknown screen '" + screen + "'");
    }

    // {var, value}: the variable holds the value.
    void VarValue(const WorldNote& state, int* var, int* value) const
    {
        if (state.kind != WorldNote::List || state.list.size() != 2 || state.list[0].kind != WorldNote::Text)
            Fail("a state is {variable, value} or a state's name");
        *var = VariableNumber(state.list[0].text);
        *value = Int(state.list[1], "value");
    }

    Feature Landmark(const WorldNote& v)
    {
        Feature f;
        if (v["look"].kind != WorldNote::Nil && !Named(kLooks, Text(v, "look"), &f.look))
            Fail("unknown look '" + v["look"].text + "'");
        int rect[4];
        Rect(v["rect"], "rect", rect);
        f.x1 = rect[0], f.y1 = rect[1], f.x2 = rect[2], f.y2 = rect[3];
        if (!Named(kWays, Text(v, "way"), &f.way)) Fail("unknown way '" + v["way"].text + "'");
        if (v["to"].kind != WorldNote::Nil) f.target = ScreenNumber(Text(v, "to"));
        if (f.way == Way::Choose) {
            f.var = VariableNumber(Text(v, "var"));
            f.value = Int(v["value"], "value");
            if (v["otherwise"].kind != WorldNote::Nil) f.alt = ScreenNumber(Text(v, "otherwise"));
        }
        const WorldNote& need = v["need"];
        if (need.kind == WorldNote::Text) {
            if (need.text != "lamps_lit") Fail("a way can wait for a variable or for lamps_lit, not for '" + need.text + "'");
            f.need = Need::LampsLit;
        } else if (need.kind != WorldNote::Nil) {
            f.need = Need::Var;
            VarValue(need, &f.var, &f.value);
        }
        f.cursor = Int(v, "cursor", 1);
        f.active = v["lit"].kind == WorldNote::Flag && v["lit"].flag;
        return f;
    }

    world_content::Place Place(const WorldNote& v)
    {
        world_content::Place p{};
        p.number = ScreenNumber(Text(v, "screen"));
        p.panorama = v["panorama"].kind == WorldNote::Flag && v["panorama"].flag;
        p.image = Keep(Text(v, "image"));
        p.scene = v["scene"].kind == WorldNote::Nil ? nullptr : Keep(Text(v, "scene"));
        // The texts its scene sets, by the name the scene reads (Text_<name>): the catalogue's.
        for (const auto& [name, id] : v["texts"].table) {
            if (id.kind != WorldNote::Text) Fail("a place's text '" + name + "' names a text identifier");
            if (c_texts.Find(id.text) == nullptr) Fail("no text with the identifier '" + id.text + "'");
            p.texts.push_back({Keep(name), Keep(id.text)});
        }
        if (!Named(kRealms, Text(v, "region"), &p.realm)) Fail("the region '" + v["region"].text + "' has no look");
        p.seed = static_cast<std::uint32_t>(Int(v["seed"], "seed"));
        const WorldNote& landmarks = v["landmarks"];
        if (landmarks.list.size() > static_cast<std::size_t>(kMaxFeatures))
            Fail("a place draws at most " + std::to_string(kMaxFeatures) + " landmarks");
        for (std::size_t i = 0; i < landmarks.list.size(); ++i) p.features[i] = Landmark(landmarks.list[i]);
        std::vector<HotspotArea>& areas = c_art.c_pAreas[p.number];
        for (const WorldNote& area : v["areas"].list) {
            int rect[4];
            Rect(area, "areas", rect);
            areas.push_back({rect[0], rect[1], rect[2], rect[3]});
        }
        return p;
    }

    OverlayDef Overlay(const WorldNote& v)
    {
        OverlayDef o{};
        o.screen = ScreenNumber(Text(v, "screen"));
        o.image = Keep(Text(v, "image"));
        o.x = Int(v["x"], "x"), o.y = Int(v["y"], "y"), o.w = Int(v["w"], "w"), o.h = Int(v["h"], "h");
        if (v["changed"].kind != WorldNote::Nil) {
            o.shows = Shows::Changed;
            o.feature = Int(v["changed"], "changed") - 1;
        } else if (v["removed"].kind != WorldNote::Nil) {
            o.shows = Shows::Removed;
            o.feature = Int(v["removed"], "removed") - 1;
        } else if (v["item"].kind != WorldNote::Nil) {
            o.shows = Shows::Item;
            o.item = Number(c_files.get_Items(), Text(v, "item"), "item");
            o.open = v["open"].kind != WorldNote::Nil;
            o.feature = o.open ? Int(v["open"], "open") - 1 : 0;
        } else {
            Fail("a changing block shows a landmark changed, one removed, or an item");
        }
        const WorldNote& state = v["state"];
        if (state.kind == WorldNote::Text) {
            if (!Named(kStates, state.text, &o.when)) Fail("unknown state '" + state.text + "'");
        } else {
            o.when = When::VarEquals;
            VarValue(state, &o.var, &o.value);
        }
        return o;
    }

    KeyPanel Panel(const WorldNote& v)
    {
        KeyPanel k{};
        k.screen = ScreenNumber(Text(v, "screen"));
        k.grid = Number(c_files.get_Grids(), Text(v, "grid"), "grid");
        k.x = Int(v["x"], "x"), k.y = Int(v["y"], "y"), k.w = Int(v["w"], "w"), k.h = Int(v["h"], "h");
        k.dx = Int(v["dx"], "dx"), k.dy = Int(v["dy"], "dy");
        k.strip = Keep(Text(v, "strip"));
        k.style = v["lamps"].kind == WorldNote::Flag && v["lamps"].flag ? KeyStyle::Lamps : KeyStyle::Digits;
        return k;
    }

    TideVersion Versions(const WorldNote& v)
    {
        TideVersion t{};
        t.screen = ScreenNumber(Text(v, "screen"));
        const WorldNote& versions = v["versions"];
        if (versions.list.size() != 3) Fail("a tide's versions are three pictures (tides 2, 3 and 4)");
        for (std::size_t i = 0; i < 3; ++i) {
            if (versions.list[i].kind != WorldNote::Text) Fail("a tide version is a picture's path");
            t.versions[i] = Keep(versions.list[i].text);
        }
        return t;
    }

    void Item(const WorldNote& v)
    {
        const std::string name = Text(v, "name");
        const int number = Number(c_files.get_Items(), name, "item");
        if (c_art.items.size() < static_cast<std::size_t>(number)) c_art.items.resize(static_cast<std::size_t>(number));
        ItemDef& item = c_art.items[static_cast<std::size_t>(number - 1)];
        item.number = number;
        item.picture = Keep(Text(v, "picture"));
        item.alpha1 = Keep(Text(v, "react_mask"));
        item.alpha2 = Keep(Text(v, "plain_mask"));
        item.sound = c_art.c_pWideStrings.emplace_back(Widen(c_art.SoundFile(Text(v, "sound")))).c_str();
        item.scene = Keep(Text(v, "scene"));
        const auto closeUp = c_closeUps.find(name);
        item.closeUp = closeUp != c_closeUps.end() ? Keep(Text(closeUp->second, "image")) : nullptr;
        if (closeUp != c_closeUps.end() && closeUp->second["scene"].kind != WorldNote::Nil)
            item.closeUpScene = Keep(Text(closeUp->second, "scene"));
        item.name = Keep(name);
    }

    // Grid cells are variables numbered from the next multiple of 100 after the previous grid's
    // last cell, or of 10 for a packed grid (the first grid from 100).
    void Grid(const WorldNote& v)
    {
        GridDef g{};
        g.number = Number(c_files.get_Grids(), Text(v, "name"), "grid");
        g.width = Int(v["width"], "width"), g.height = Int(v["height"], "height"), g.max = Int(v["max"], "max");
        const bool packed = v["packed"].kind == WorldNote::Flag && v["packed"].flag;
        const int step = packed ? 10 : 100;
        g.start = c_nextCell == 0 ? 100 : (c_nextCell + step - 1) / step * step;
        c_nextCell = g.start + g.width * g.height;
        if (g.number != static_cast<int>(c_art.grids.size()) + 1) Fail("grids are noted out of their order");
        c_art.grids.push_back(g);
    }

    void Captions(const WorldNote& v)
    {
        std::vector<Cue>& cues = c_art.c_pCaptions[Text(v, "name")];
        for (const WorldNote& line : v.list) {
            if (line.list.size() != 2 || line.list[1].kind != WorldNote::Text) Fail("a caption line is {ms, text id}");
            std::string text;
            if (!line.list[1].text.empty()) {
                const std::string* found = c_texts.Find(line.list[1].text);
                if (found == nullptr) Fail("no text with the identifier '" + line.list[1].text + "'");
                text = *found;
            }
            cues.push_back({static_cast<std::uint32_t>(Int(line.list[0], "ms")), Keep(text)});
        }
    }

    // A read view names exactly one of an item, a book or a place.
    void ReadView(const WorldNote& v)
    {
        ReadViewDef r;
        int named = 0;
        if (v["item"].kind != WorldNote::Nil) r.item = Number(c_files.get_Items(), Text(v, "item"), "item"), ++named;
        if (v["book"].kind != WorldNote::Nil) r.book = Keep(Text(v, "book")), ++named;
        if (v["screen"].kind != WorldNote::Nil) r.screen = ScreenNumber(Text(v, "screen")), ++named;
        if (named != 1) Fail("a read view names one item, book or screen");
        r.scene = Keep(Text(v, "scene"));
        r.setting = Keep(Text(v, "setting"));
        if (r.screen != 0) r.text = Keep(Text(v, "text"));
        if (r.book != nullptr) {
            const int seed = Int(v["seed"], "seed");
            if (seed < 0) Fail("a book's read view needs a seed of 0 or more");
            r.seed = static_cast<std::uint32_t>(seed);
        }
        c_art.readViews.push_back(r);
    }

    void Book(const WorldNote& v)
    {
        std::vector<const char*>& pages = c_art.c_pBooks[Text(v, "name")];
        for (const WorldNote& page : v["pages"].list) {
            if (page.kind != WorldNote::Text) Fail("a book's page is a picture's path");
            pages.push_back(Keep(page.text));
        }
        if (pages.empty()) Fail("a book has no pages");
    }

    // A subtitled film lasts a second past its last line; any other names its length.
    void Film(const WorldNote& v)
    {
        FilmDef film{};
        film.path = c_art.c_pWideStrings.emplace_back(Widen(Text(v, "file"))).c_str();
        if (v["subtitles"].kind != WorldNote::Nil) {
            const auto cues = c_art.c_pCaptions.find(Text(v, "subtitles"));
            if (cues == c_art.c_pCaptions.end() || cues->second.empty()) Fail("unknown captions '" + v["subtitles"].text + "'");
            const std::vector<Cue>& kept = c_art.c_pCueLists.emplace_back(cues->second);
            film.cues = kept.data();
            film.cueCount = kept.size();
            film.seconds = kept.back().time / 1000.0 + 1.0;
        } else {
            if (v["seconds"].kind != WorldNote::Number) Fail("a film without subtitles names its length in 'seconds'");
            film.seconds = v["seconds"].number;
        }
        c_art.c_pFilms[Text(v, "name")] = film;
    }

    void Puzzles(const WorldNote& v)
    {
        Ints(v["cabinet_code"], "cabinet_code", c_art.cabinetCode, 8);
        const WorldNote& stars = v["star_patterns"];
        if (stars.list.size() != 4) Fail("'star_patterns' must list four figures");
        for (std::size_t i = 0; i < 4; ++i) Ints(stars.list[i], "star_patterns", c_art.starPatterns[i], 9);
        Ints(v["high_water"], "high_water", c_art.highWater, 5);
        const WorldNote& table = v["tide_table"];
        if (table.list.size() != 4) Fail("'tide_table' must list four moons");
        for (std::size_t moon = 0; moon < 4; ++moon) {
            if (table.list[moon].list.size() != 3) Fail("each moon of 'tide_table' lists three tides");
            for (std::size_t tide = 0; tide < 3; ++tide)
                Ints(table.list[moon].list[tide], "tide_table", c_art.tideTable[moon][tide], 5);
        }
        c_art.tonight = Int(v["tonight"], "tonight") - 1;
        if (c_art.tonight < 0 || c_art.tonight > 3) Fail("'tonight' must be one of the four moons");
    }

    // The game's paths keep the engine's spelling ("data//FMV//x.wmv"); a file is listed once.
    void NamedFiles()
    {
        std::set<std::string> seen;
        const auto add = [&](const std::string& path) {
            if (seen.insert(path).second) c_art.namedFiles.push_back(path);
        };
        for (const std::string& path : c_files.get_ImagePaths()) add(path);
        for (const std::wstring& path : c_files.get_MediaPaths()) add(std::string(path.begin(), path.end()));
    }

    const WorldFiles& c_files;
    const TextCatalogue& c_texts;
    WorldArt& c_art;
    const std::string* c_where = nullptr;
    std::map<std::string, WorldNote> c_closeUps;
    int c_nextCell = 0;
};

std::unique_ptr<WorldArt> WorldArt::Load(const std::filesystem::path& worldDir, const TextCatalogue& texts)
{
    const std::unique_ptr<WorldFiles> files = WorldFiles::Describe(worldDir, texts);
    std::unique_ptr<WorldArt> art(new WorldArt());
    WorldArtReader(*files, texts, *art).Read();
    return art;
}

const Place& WorldArt::PlaceNumbered(int number) const
{
    for (const Place& place : places)
        if (place.number == number) return place;
    throw Error("the world files have no place numbered " + std::to_string(number));
}

const HotspotArea& WorldArt::AreaOf(int number, int index) const
{
    const auto it = c_pAreas.find(number);
    if (it == c_pAreas.end() || index < 0 || static_cast<std::size_t>(index) >= it->second.size())
        throw Error("the world files give no hotspot for landmark " + std::to_string(index + 1) + " of screen " +
                    std::to_string(number));
    return it->second[static_cast<std::size_t>(index)];
}

const std::vector<HotspotArea>& WorldArt::AreasOf(int number) const
{
    static const std::vector<HotspotArea> kNone;
    const auto it = c_pAreas.find(number);
    return it == c_pAreas.end() ? kNone : it->second;
}

const std::vector<Cue>& WorldArt::Captions(std::string_view name) const
{
    const auto it = c_pCaptions.find(name);
    if (it == c_pCaptions.end()) throw Error("the world files have no captions named '" + std::string(name) + "'");
    return it->second;
}

const KeyPanel& WorldArt::KeyPanelOn(int number) const
{
    for (const KeyPanel& panel : keyPanels)
        if (panel.screen == number) return panel;
    throw Error("the world files have no key panel on screen " + std::to_string(number));
}

const FilmDef& WorldArt::Film(std::string_view name) const
{
    const auto it = c_pFilms.find(name);
    if (it == c_pFilms.end()) throw Error("the world files have no film named '" + std::string(name) + "'");
    return it->second;
}

const std::string& WorldArt::SoundFile(std::string_view name) const
{
    const auto it = c_pSounds.find(name);
    if (it == c_pSounds.end()) throw Error("the world files have no sound named '" + std::string(name) + "'");
    return it->second;
}

const std::vector<const char*>& WorldArt::BookPages(std::string_view name) const
{
    const auto it = c_pBooks.find(name);
    if (it == c_pBooks.end()) throw Error("the world files have no book named '" + std::string(name) + "'");
    return it->second;
}

int WorldArt::Variable(std::string_view name) const
{
    const auto it = c_pVariables.find(name);
    if (it == c_pVariables.end()) throw Error("the world files have no variable named '" + std::string(name) + "'");
    return it->second;
}

const std::string& WorldArt::VariableName(int number) const
{
    for (const auto& [name, n] : c_pVariables)
        if (n == number) return name;
    throw Error("the world files name no variable " + std::to_string(number));
}

const char* LookName(Look look)
{
    for (const auto& [name, value] : kLooks)
        if (value == look) return name;
    return "";
}

const char* StateName(When when)
{
    for (const auto& [name, value] : kStates)
        if (value == when) return name;
    return "";
}

namespace {

std::unique_ptr<WorldArt>& ArtInUse()
{
    static std::unique_ptr<WorldArt> art;
    return art;
}

}  // namespace

const WorldArt& Art()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (!ArtInUse()) ArtInUse() = WorldArt::Load(KELVANE_GAME_WORLD, TextCatalogue::Load(KELVANE_GAME_TEXTS, {}));
    });
    return *ArtInUse();
}

void UseWorldArt(std::unique_ptr<WorldArt> art) { ArtInUse() = std::move(art); }

}  // namespace world_content
