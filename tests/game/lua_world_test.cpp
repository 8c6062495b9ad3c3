// The world as Lua world files (game/world, texts from game/po) against the record of the world
// that was built in C++ before the files replaced it (world_records.txt, new_game.sav, written
// by this test from that world): with the same seed the files must build the same records in
// the same order - screens, hotspots, action lists, conditions, overlays, strips, replacement
// pictures, variables, grids and their neighbour rules, items, ambient sounds and the credits -
// and write the same new-game save. A deliberate change to the world rewrites the record:
// KELVANE_WRITE_WORLD_RECORDS=DIR writes the files' own record into DIR.
#include "world/world_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "display/cd3dfont.h"
#include "display/image_offsets.h"
#include "display/texture.h"
#include "display/world_inventory.h"
#include "display/world_item.h"
#include "imaging/image.h"
#include "media/repetive_sound.h"
#include "media/subtitle_item.h"
#include "platform/gfx/device.h"
#include "menus/credits_manager.h"
#include "menus/save_manager.h"
#include "core/game_paths.h"
#include "core/text_catalogue.h"
#include "script/world_files.h"
#include "world/condition_codes.h"

using namespace world_test;

namespace {

constexpr unsigned kSeed = 20051;
// The longest film or caption runs under 200 s: its lines are read every millisecond up to here.
constexpr std::uint32_t kLongestLines = 200000;

// One record (or one field of a record) as a line of text, with where it is in the world and,
// for a condition, its tokens (compared by meaning when the token lists differ).
struct Entry {
    std::string where;
    std::string what;
    const std::vector<int>* condition = nullptr;
};
using Dump = std::vector<Entry>;

std::string Narrow(const wchar_t* text)
{
    std::string out;
    for (; text != nullptr && *text != 0; ++text) out += static_cast<char>(*text);
    return out;
}

// A subtitle list as what it shows: each time the line shown changes, and the new line.
std::string Lines(const SubtitleItem* subtitles)
{
    if (subtitles == nullptr) return "none";
    std::string out, shown;
    for (std::uint32_t t = 0; t <= kLongestLines; ++t) {
        const std::string line = subtitles->Get(t);
        if (line == shown) continue;
        out += std::to_string(t) + ":" + line + "|";
        shown = line;
    }
    return out;
}

std::string Tokens(const std::vector<int>& tokens)
{
    std::string out;
    for (int t : tokens) out += std::to_string(t) + " ";
    return out;
}

std::string Number(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

void DumpList(Dump& dump, const std::string& where, const WorldActionlist* list)
{
    dump.push_back({where, "type " + std::to_string(list->get_Type()) + " number " + std::to_string(list->get_Number())});
    dump.push_back({where + " condition", Tokens(list->get_Conditions()), &list->get_Conditions()});
    dump.push_back({where, "actions " + std::to_string(list->get_ActionNumber())});
    for (int a = 0; a < list->get_ActionNumber(); ++a) {
        const WorldAction* action = list->getAction(a);
        std::string what = "code " + std::to_string(action->get_Type());
        for (int p = 0; p < action->get_ParamCount(); ++p) {
            what += " " + std::to_string(action->getParamType(p)) + "=";
            const WorldParamValue& value = action->getParamValueObject(p);
            if (const float* number = std::get_if<float>(&value)) what += Number(*number);
            else if (const wchar_t* const* path = std::get_if<const wchar_t*>(&value)) what += "path " + Narrow(*path);
            else what += "lines " + Lines(std::get<SubtitleItem*>(value));
        }
        dump.push_back({where + " action " + std::to_string(a), what});
    }
}

// The tide register's pages: the C++ world adds each page's strip back to the lectern before
// the next page's forward strip, the world files (whose book{} adds all pages at once) after
// it. The strips do not overlap, so a click finds the same one either way: these pages'
// hotspots are compared in the order of their rectangles.
constexpr int kRegisterFirstPage = 90001;
constexpr int kRegisterPages = 5;
bool HotspotsUnordered(int screen) { return screen >= kRegisterFirstPage && screen < kRegisterFirstPage + kRegisterPages; }

// The hotspot indices of `s` in the order they are compared.
std::vector<int> HotspotOrder(const WorldScreen* s)
{
    std::vector<int> order(static_cast<std::size_t>(s->get_HotspotCount()));
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    if (HotspotsUnordered(s->get_Number())) {
        auto key = [s](int i) {
            const WorldHotspot* h = s->GetHotspot(i);
            return std::tuple(h->get_X1(), h->get_Y1(), h->get_X2(), h->get_Y2());
        };
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
    }
    return order;
}

// A texture's pixels as one number (FNV-1a over the rows), to tell pictures apart.
std::string PictureSum(Texture* texture)
{
    if (texture == nullptr || texture->getTexture() == nullptr) return "no picture";
    gfx::Texture* pixels = texture->getTexture();
    D3DLOCKED_RECT locked{};
    if (pixels->LockRect(0, &locked, nullptr, D3DLOCK_READONLY) != S_OK) return "unreadable picture";
    std::uint64_t sum = 14695981039346656037ull;
    for (UINT y = 0; y < pixels->Height(); ++y) {
        const auto* row = static_cast<const std::uint8_t*>(locked.pBits) + static_cast<std::size_t>(y) * locked.Pitch;
        for (UINT x = 0; x < pixels->Width() * 4; ++x) sum = (sum ^ row[x]) * 1099511628211ull;
    }
    pixels->UnlockRect(0);
    return std::to_string(pixels->Width()) + "x" + std::to_string(pixels->Height()) + " sum " + std::to_string(sum);
}

Dump DumpWorld(WorldManager& world, const CreditsManager& credits)
{
    Dump dump;
    // Items by number, close-up, sound and bar picture (an item's cursors keep their pictures
    // to themselves); ambient sounds by number, file and whether a bed (their captions likewise).
    WorldInventory* inventory = world.get_Inventory();
    for (int n = 1; n <= 8; ++n) {
        const WorldItem* item = inventory->GetItem(n);
        dump.push_back({"item " + std::to_string(n), "number " + std::to_string(item->get_Number()) + " screen " +
                                                          std::to_string(item->get_Screen()) + " sound " +
                                                          Narrow(item->get_Sound().c_str())});
        dump.push_back({"item " + std::to_string(n) + " picture", PictureSum(item->get_BaseTexture())});
    }
    std::string bar;
    for (const WorldItem* item : inventory->get_ActiveItems()) bar += std::to_string(item->get_Number()) + " ";
    dump.push_back({"the bar", bar});

    const auto& vars = world.get_GlobalVars();
    dump.push_back({"variables", "count " + std::to_string(vars.size())});
    for (std::size_t i = 0; i < vars.size(); ++i) {
        dump.push_back({"variable #" + std::to_string(i),
                        "number " + std::to_string(vars[i]->get_Number()) + " value " + std::to_string(vars[i]->get_Value())});
    }
    const auto& grids = world.get_GlobalVarArrays();
    dump.push_back({"grids", "count " + std::to_string(grids.size())});
    for (const auto& g : grids) {
        dump.push_back({"grid " + std::to_string(g->get_Number()),
                        "start " + std::to_string(g->get_Start()) + " " + std::to_string(g->get_Width()) + " x " +
                            std::to_string(g->get_Height()) + " max " + std::to_string(g->get_NumberMax())});
    }
    const auto& sounds = world.get_RepetiveSounds();
    dump.push_back({"ambient sounds", "count " + std::to_string(sounds.size())});
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        dump.push_back({"ambient sound #" + std::to_string(i),
                        "number " + std::to_string(sounds[i]->get_Number()) + " file " + Narrow(sounds[i]->get_File().c_str()) +
                            (sounds[i]->get_Bed() ? " bed" : "")});
    }

    const auto& screens = world.get_Screens();
    dump.push_back({"screens", "count " + std::to_string(screens.size())});
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const WorldScreen* s = screens[i].get();
        const std::string at = "screen " + std::to_string(s->get_Number()) + " (#" + std::to_string(i) + ")";
        dump.push_back({at, "number " + std::to_string(s->get_Number()) + " type " + std::to_string(s->get_Type()) +
                                " offset " + std::to_string(s->get_Offset()) + " image " + s->get_BaseImage() +
                                " custom function " + std::to_string(s->get_CustomFunction())});
        dump.push_back({at, "entry lists " + std::to_string(s->get_PreActionsCount())});
        for (int l = 0; l < s->get_PreActionsCount(); ++l)
            DumpList(dump, at + " entry list " + std::to_string(l), s->GetPreActionList(l));
        dump.push_back({at, "hotspots " + std::to_string(s->get_HotspotCount())});
        const std::vector<int> order = HotspotOrder(s);
        for (std::size_t k = 0; k < order.size(); ++k) {
            const int h = order[k];
            const WorldHotspot* spot = s->GetHotspot(h);
            const std::string hat = at + (HotspotsUnordered(s->get_Number()) ? " hotspot (in rectangle order) " + std::to_string(k)
                                                                             : " hotspot " + std::to_string(h));
            dump.push_back({hat, std::to_string(spot->get_X1()) + "," + std::to_string(spot->get_Y1()) + " - " +
                                     std::to_string(spot->get_X2()) + "," + std::to_string(spot->get_Y2()) + " cursor " +
                                     std::to_string(spot->get_Cursor()) + " simple move " +
                                     std::to_string(spot->get_SimpleMove()) + " lists " +
                                     std::to_string(spot->get_ActionlistCount())});
            dump.push_back({hat + " condition", Tokens(spot->get_Conditions()), &spot->get_Conditions()});
            for (int l = 0; l < spot->get_ActionlistCount(); ++l)
                DumpList(dump, hat + " list " + std::to_string(l), spot->GetActionlist(l));
        }
        dump.push_back({at, "overlays " + std::to_string(s->get_OverlayCount())});
        for (int o = 0; o < s->get_OverlayCount(); ++o) {
            const WorldOverlay* overlay = s->GetOverlay(o);
            const std::string oat = at + " overlay " + std::to_string(o);
            dump.push_back({oat, std::to_string(overlay->get_X()) + "," + std::to_string(overlay->get_Y()) + " " +
                                     std::to_string(overlay->get_W()) + "x" + std::to_string(overlay->get_H()) + " " +
                                     overlay->get_ImagePath() + " offset " + std::to_string(overlay->get_Offset())});
            dump.push_back({oat + " condition", Tokens(overlay->get_Conditions()), &overlay->get_Conditions()});
        }
        dump.push_back({at, "strips " + std::to_string(s->get_OverlayCountArray())});
        for (int o = 0; o < s->get_OverlayCountArray(); ++o) {
            const WorldOverlayArray* strip = s->GetOverlayArray(o);
            dump.push_back({at + " strip " + std::to_string(o),
                            std::to_string(strip->get_X()) + "," + std::to_string(strip->get_Y()) + " " +
                                std::to_string(strip->get_W()) + "x" + std::to_string(strip->get_H()) + " variable " +
                                std::to_string(strip->get_VarDependant()) + " " + strip->get_ImagePath() + " offset " +
                                std::to_string(strip->get_Offset())});
        }
        dump.push_back({at, "replacement pictures " + std::to_string(s->get_OverwriteBaseImageCount())});
        for (int o = 0; o < s->get_OverwriteBaseImageCount(); ++o) {
            const WorldOverwriteBaseImage* version = s->GetOverwriteBaseImage(o);
            dump.push_back({at + " replacement picture " + std::to_string(o),
                            "variable " + std::to_string(version->get_VarNumber()) + " = " +
                                std::to_string(version->get_VarValue()) + " " + version->get_BaseImage()});
        }
    }

    dump.push_back({"credits", "lines " + std::to_string(credits.get_LineCount())});
    for (int i = 0; i < credits.get_LineCount(); ++i) {
        const CreditsLine& line = credits.get_Line(i);
        dump.push_back({"credits line " + std::to_string(i), std::to_string(line.get_type()) + " " + line.get_line()});
    }
    return dump;
}

// ---- conditions by meaning ----

bool IsOperand(int code)
{
    return code == CT_Value || code == CT_Var || code == CT_ArrayTotal || code == CT_ArrayAllChecked ||
           code == CT_ArrayNotAllChecked;
}

// What a condition reads: variables, and grids (as totals or as all-set).
struct Reads {
    std::set<int> vars, grids;
    std::set<int> literals;
};

void Collect(const std::vector<int>& tokens, Reads& reads)
{
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (!IsOperand(tokens[i]) || i + 1 >= tokens.size()) continue;
        const int argument = tokens[i + 1];
        if (tokens[i] == CT_Var) reads.vars.insert(argument);
        else if (tokens[i] == CT_Value) reads.literals.insert(argument);
        else reads.grids.insert(argument);
        ++i;
    }
}

// The cell values that give a grid the total `total` (cell 0 least significant), if it can.
bool CellsForTotal(const WorldGlobalVarArray& grid, long long total, std::vector<int>& cells)
{
    const int count = grid.get_Width() * grid.get_Height();
    const int base = grid.get_NumberMax() + 1;
    cells.assign(static_cast<std::size_t>(count), 0);
    for (int i = 0; i < count && total > 0; ++i) {
        cells[static_cast<std::size_t>(i)] = static_cast<int>(total % base);
        total /= base;
    }
    return total == 0;
}

// Whether two token lists give the same answer in `world` for every combination of the
// variables they read (values -1 .. 8) and of the grids they read (every total either list
// names, one more, all cells clear, all cells set). The world's values are put back after.
bool SameMeaning(WorldManager& world, const std::vector<int>& a, const std::vector<int>& b, std::string* counterexample)
{
    Reads reads;
    Collect(a, reads);
    Collect(b, reads);
    // One axis per operand; each of its states is a list of (variable, value) settings.
    using State = std::vector<std::pair<int, int>>;
    std::vector<std::vector<State>> axes;
    for (int var : reads.vars) {
        std::vector<State>& axis = axes.emplace_back();
        for (int value = -1; value <= 8; ++value) axis.push_back({{var, value}});
    }
    for (int number : reads.grids) {
        const WorldGlobalVarArray* grid = world.getGlobalVarArray(number);
        if (grid == nullptr) return false;
        std::vector<State>& axis = axes.emplace_back();
        const int count = grid->get_Width() * grid->get_Height();
        auto add = [&](const std::vector<int>& cells) {
            State& state = axis.emplace_back();
            for (int i = 0; i < count; ++i) state.push_back({grid->get_Start() + i, cells[static_cast<std::size_t>(i)]});
        };
        std::vector<int> cells;
        for (int literal : reads.literals) {
            for (long long total : {static_cast<long long>(literal), static_cast<long long>(literal) + 1}) {
                if (total >= 0 && CellsForTotal(*grid, total, cells)) add(cells);
            }
        }
        add(std::vector<int>(static_cast<std::size_t>(count), 0));
        add(std::vector<int>(static_cast<std::size_t>(count), 1));
    }

    std::map<int, unsigned char> saved;
    for (const auto& var : world.get_GlobalVars()) saved[var->get_Number()] = var->get_Value();
    std::vector<std::size_t> index(axes.size(), 0);
    bool same = true;
    while (same) {
        for (std::size_t k = 0; k < axes.size(); ++k)
            for (const auto& [var, value] : axes[k][index[k]]) world.setGlobalVarValue(var, static_cast<signed char>(value));
        const bool first = world.TestConditionList(a.data(), static_cast<unsigned>(a.size()));
        const bool second = world.TestConditionList(b.data(), static_cast<unsigned>(b.size()));
        if (first != second) {
            same = false;
            std::ostringstream where;
            for (std::size_t k = 0; k < axes.size(); ++k)
                for (const auto& [var, value] : axes[k][index[k]]) where << "v" << var << "=" << value << " ";
            *counterexample = where.str();
        }
        std::size_t k = 0;
        while (k < axes.size() && ++index[k] == axes[k].size()) index[k++] = 0;
        if (k == axes.size()) break;
    }
    for (const auto& var : world.get_GlobalVars()) var->set_Value(saved[var->get_Number()]);
    return same;
}

std::vector<char> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Writes a scrambled picture under `path` (noise seeded by the path, so that every picture
// differs), as the world's loaders open it with rotation `offset`.
void WriteScrambled(const std::filesystem::path& dir, const std::string& path, int width, int height, int offset)
{
    imaging::Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    std::mt19937 noise(static_cast<unsigned>(ScrambleOffsetFor(path)));
    for (auto& byte : image.pixels) byte = static_cast<std::uint8_t>(noise());
    const std::vector<std::uint8_t> plain = imaging::EncodePng(image);
    std::vector<char> file(plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) file[(offset + i) % plain.size()] = static_cast<char>(plain[i]);
    const std::filesystem::path out = dir / path;
    std::filesystem::create_directories(out.parent_path());
    std::ofstream(out, std::ios::binary).write(file.data(), static_cast<std::streamsize>(file.size()));
}

}  // namespace

class LuaWorldTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        c_oldDir = std::filesystem::current_path();
        // The pictures the world opens as it is built: the eight items' (scrambled with the
        // offset of the item's picture) and the logo it ends on.
        for (int n = 1; n <= 8; ++n) {
            const std::string picture = "data/inven" + std::to_string(n);
            const int offset = ScrambleOffsetFor(picture + ".enc");
            for (const char* suffix : {".enc", "_alpha1.enc", "_alpha2.enc"})
                WriteScrambled(c_dir, picture + suffix, 75, 75, offset);
        }
        // The game's data marker keeps the saves beside it, in the test's directory.
        std::ofstream(c_dir / "data" / GamePaths::kDataMarker) << GamePaths::DataMarkerText();
        // Both worlds end on the logo screen, entered (and so opened) once the world is built.
        WriteScrambled(c_dir, "data/opening_logo.enc", 64, 32, ScrambleOffsetFor("data/opening_logo.enc"));
        std::filesystem::current_path(c_dir);
        fonts[0] = std::make_unique<CD3DFont>("Times New Roman", 15, 0);
        fonts[1] = std::make_unique<CD3DFont>("Times New Roman", 15, 1);
        fonts[2] = std::make_unique<CD3DFont>("Times New Roman", 15, 2);
    }
    void TearDown() override
    {
        std::filesystem::current_path(c_oldDir);
        WorldTest::TearDown();
    }
    std::unique_ptr<CreditsManager> NewCredits()
    {
        return std::make_unique<CreditsManager>(fonts[0].get(), fonts[1].get(), fonts[2].get(), 0.028f);
    }
    // The new-game save (slot 0) as start-up writes it once the world is built.
    std::vector<char> NewGameSave(WorldManager& built)
    {
        std::filesystem::remove_all(c_dir / "save");
        SaveManager saves(&built, nullptr);
        EXPECT_TRUE(saves.SaveGame(0, "")) << saves.get_LastError();
        return ReadFile(SaveManager::SlotPath(0));
    }

    std::filesystem::path c_oldDir;
    std::unique_ptr<CD3DFont> fonts[3];
};

// The grids' neighbour rules: the cells of each grid after a click on its first and its last cell.
void DumpCornerClicks(Dump& dump, WorldManager& world)
{
    for (const auto& grid : world.get_GlobalVarArrays()) {
        for (auto [x, y] : {std::pair{0, 0}, std::pair{grid->get_Width() - 1, grid->get_Height() - 1}}) grid->Click(x, y);
        std::string cells;
        for (int c = 0; c < grid->get_Width() * grid->get_Height(); ++c)
            cells += std::to_string(world.getGlobalVarValue(grid->get_Start() + c)) + " ";
        dump.push_back({"grid " + std::to_string(grid->get_Number()) + " after clicks on its corners", cells});
    }
}

// The recorded world: one entry a line, "where<TAB>what<TAB>condition tokens".
struct Recorded {
    std::vector<Entry> entries;
    std::vector<std::vector<int>> conditions;  // kept apart: entries point into it
};
Recorded ReadRecord(const std::filesystem::path& path)
{
    Recorded record;
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    record.conditions.resize(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t tab1 = lines[i].find('\t'), tab2 = lines[i].find('\t', tab1 + 1);
        Entry e{lines[i].substr(0, tab1), lines[i].substr(tab1 + 1, tab2 - tab1 - 1)};
        if (e.where.size() > 10 && e.where.compare(e.where.size() - 10, 10, " condition") == 0) {
            std::istringstream tokens(lines[i].substr(tab2 + 1));
            for (int t; tokens >> t;) record.conditions[i].push_back(t);
            e.condition = &record.conditions[i];
        }
        record.entries.push_back(e);
    }
    return record;
}

TEST_F(LuaWorldTest, LuaFilesBuildTheRecordedWorld)
{
    std::unique_ptr<CreditsManager> credits = NewCredits();
    std::srand(kSeed);
    const std::filesystem::path game = std::filesystem::path(KELVANE_SOURCE_DIR) / "game";
    const TextCatalogue texts = TextCatalogue::Load(game / "po", {});
    const std::unique_ptr<WorldFiles> files = WorldFiles::Load(*world, credits.get(), game / "world", texts);
    const std::vector<char> save = NewGameSave(*world);
    Dump got = DumpWorld(*world, *credits);
    DumpCornerClicks(got, *world);

    if (const char* out = std::getenv("KELVANE_WRITE_WORLD_RECORDS")) {
        std::ofstream records(std::filesystem::path(out) / "world_records.txt");
        for (const Entry& e : got) {
            records << e.where << '\t' << e.what << '\t';
            if (e.condition != nullptr) records << Tokens(*e.condition);
            records << '\n';
        }
        std::ofstream(std::filesystem::path(out) / "new_game.sav", std::ios::binary)
            .write(save.data(), static_cast<std::streamsize>(save.size()));
    }

    const std::filesystem::path recorded = std::filesystem::path(KELVANE_SOURCE_DIR) / "tests/game";
    const std::vector<char> expectedSave = ReadFile(recorded / "new_game.sav");
    ASSERT_FALSE(expectedSave.empty());
    if (expectedSave != save) {
        const auto [e, g] = std::mismatch(expectedSave.begin(), expectedSave.end(), save.begin(), save.end());
        ADD_FAILURE() << "the new-game save differs from the recorded one from byte " << (e - expectedSave.begin())
                      << " on (recorded " << expectedSave.size() << " bytes, now " << save.size() << " bytes)";
    }

    const Recorded record = ReadRecord(recorded / "world_records.txt");
    const std::vector<Entry>& expected = record.entries;
    ASSERT_GT(expected.size(), 1000u);
    int failures = 0;
    for (std::size_t i = 0; i < std::max(expected.size(), got.size()) && failures < 20; ++i) {
        if (i >= expected.size() || i >= got.size()) {
            ADD_FAILURE() << "the world has " << got.size() << " record lines, the recorded one " << expected.size()
                          << "; first extra: " << (i < got.size() ? got[i].where + ": " + got[i].what
                                                                    : expected[i].where + ": " + expected[i].what);
            break;
        }
        const Entry& e = expected[i];
        const Entry& g = got[i];
        if (e.where != g.where) {
            ADD_FAILURE() << "record " << i << ": recorded " << e.where << " (" << e.what << "), now " << g.where << " ("
                          << g.what << ")";
            break;  // the lists are out of step from here on
        }
        if (e.what == g.what) continue;
        std::string counterexample;
        if (e.condition != nullptr && g.condition != nullptr &&
            SameMeaning(*world, *e.condition, *g.condition, &counterexample)) {
            continue;
        }
        ++failures;
        ADD_FAILURE() << e.where << " differs:\n  recorded: " << e.what << "\n  now: " << g.what
                      << (counterexample.empty() ? "" : "\n  (answers differ at " + counterexample + ")");
    }
}
