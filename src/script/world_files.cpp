#include "script/world_files.h"

#include <lua.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/latin1_text.h"
#include "core/text_catalogue.h"
#include "display/image_offsets.h"
#include "menus/credits_manager.h"
#include "script/condition_compiler.h"
#include "world/action_codes.h"
#include "world/condition_codes.h"
#include "world/hotspot_cursor.h"
#include "world/world_book_creator.h"
#include "world/world_manager.h"

namespace {

constexpr int kItemSide = 75;
constexpr int kItemHotspot = 37;
constexpr int kFirstItemScreen = 10001;
constexpr int kItemScreenStep = 1000;
constexpr int kFlatNumbersFrom = 50;  // a region's flat views are numbered from its block + 50
constexpr int kSilence = -999;
constexpr int kCallLines = 12;       // lines below a call's first searched for the faulty value
constexpr int kHookEvery = 10000;     // instructions between two checks of the bound

// A fault of the world files found by the loader; `needle` is text of the author's line that
// shows where (a name, a condition), `column` a 1-based column inside it.
class ScriptError : public Error {
public:
    explicit ScriptError(const std::string& message, std::string needle = {}, int column = 1)
        : Error(message), c_lpsNeedle(std::move(needle)), c_iColumn(column)
    {
    }
    const std::string& get_Needle() const { return c_lpsNeedle; }
    int get_Column() const { return c_iColumn; }

private:
    std::string c_lpsNeedle;
    int c_iColumn;
};

// A fault whose message already names its file:line:col (one raised while an included file
// ran): passed on unchanged by the include that ran it, so the place stays the fault's own.
class PlacedError : public Error {
public:
    using Error::Error;
};

// Pictures in ".enc" files are scrambled with an offset made from their path; any other
// picture is a plain file read as it is.
int OffsetOf(std::string_view path)
{
    return path.size() > 4 && path.substr(path.size() - 4) == ".enc" ? ScrambleOffsetFor(path) : 0;
}

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// A place in an author's file.
struct Where {
    std::string file;  // as Lua names the chunk (the file's path)
    int line = 0;
};

}  // namespace

// Runs the files and builds the records; one per Load.
class WorldFilesLoader {
public:
    WorldFilesLoader(WorldFiles& out, WorldManager* world, CreditsManager* credits, std::filesystem::path dir,
                     const TextCatalogue& texts, const WorldFiles::Limits& limits)
        : c_out(out), c_pWorld(world), c_pCredits(credits), c_dir(std::move(dir)), c_texts(texts), c_limits(limits)
    {
    }
    ~WorldFilesLoader()
    {
        if (c_L != nullptr) lua_close(c_L);
    }

    void Run();

private:
    // ---- one parameter of an action still to be made ----
    struct Param {
        Param() = default;
        explicit Param(int t) : type(t) {}
        Param(int t, float v) : type(t), value(v) {}
        int type = 0;
        float value = 0.0f;
        const wchar_t* path = nullptr;
        SubtitleItem* lines = nullptr;
        std::string screen;  // a screen's name, numbered when every file has run
    };
    struct Action {
        int code = 0;
        std::vector<Param> params;
        Where where;
    };
    struct PendingList {
        WorldActionlist* list;
        std::vector<Action> actions;
    };
    struct Region {
        int block = 0;
        std::optional<int> nextPanorama, nextFlat;
    };
    struct Grid {
        int number, start, width, height, max;
    };
    struct Film {
        const wchar_t* path;
        SubtitleItem* lines;
    };

    // ---- sandbox ----
    static void* Allocate(void* self, void* block, std::size_t oldSize, std::size_t newSize);
    static void Hook(lua_State* L, lua_Debug* ar);
    static int Traceback(lua_State* L);
    static int Print(lua_State* L);
    void RunFile(const std::string& name);
    [[noreturn]] void FailFromLua(int status, const std::string& chunk);
    std::string WithColumn(const std::string& message) const;
    std::string LineOf(const std::string& file, int line) const;

    // ---- the functions the files call ----
    template <int (WorldFilesLoader::*F)(lua_State*)>
    static int Api(lua_State* L);
    void Register();
    Where Caller(int level = 1) const;
    std::string Trail() const;

    int Include(lua_State* L);
    int Text(lua_State* L);
    int Variable(lua_State* L);
    int GridDecl(lua_State* L);
    int Cell(lua_State* L);
    int SetNow(lua_State* L);
    int ClickNow(lua_State* L);
    int Random(lua_State* L);
    int Sound(lua_State* L);
    int Captions(lua_State* L);
    int Ambient(lua_State* L);
    int FilmDecl(lua_State* L);
    int Item(lua_State* L);
    int InBar(lua_State* L);
    int RegionDecl(lua_State* L);
    int Screen(lua_State* L);
    int CloseUp(lua_State* L);
    int Book(lua_State* L);
    int Placeholder(lua_State* L);
    int Hotspot(lua_State* L);
    int Move(lua_State* L);
    int Choose(lua_State* L);
    int OnClick(lua_State* L);
    int OnUse(lua_State* L);
    int OnEnter(lua_State* L);
    int Shared(lua_State* L);
    // The world's answer when an item is used on a hotspot that has no use for it.
    int OnNoUse(lua_State* L);
    int Overlay(lua_State* L);
    int Version(lua_State* L);
    int CodeKey(lua_State* L);
    int Credits(lua_State* L);
    int NoteDecl(lua_State* L);
    int GoalDecl(lua_State* L);
    int IdleHint(lua_State* L);
    int ClueDecl(lua_State* L);
    WorldNote ReadNote(int index, int depth);
    void AllowFields(int table, std::initializer_list<const char*> known, const char* what, bool list = false);
    int MakeAction(lua_State* L);

    // ---- reading arguments ----
    std::string StringArg(int index, const char* what);
    int IntArg(int index, const char* what);
    std::optional<std::string> StringField(int table, const char* field, bool required);
    std::optional<double> NumberField(int table, const char* field, bool required);
    int IntField(int table, const char* field);
    int IntField(int table, const char* field, int fallback);
    // A hotspot's "cursor" field: a number or a cursor's name (hotspot_cursor.h); react when absent.
    int CursorField(int table);
    // Remembers a hotspot whose cursor the files name: it is not chosen by its actions.
    void NoteCursor(int table, WorldHotspot* hotspot);
    void ChooseCursors();
    bool BoolField(int table, const char* field, bool fallback);
    void Rect(int table, int out[4]);
    void CheckTable(int index, const char* what);

    // ---- names ----
    int VariableOrCell(int index);
    int VariableNamed(const std::string& name);
    const Grid& GridNamed(const std::string& name);
    int ItemNamed(const std::string& name);
    const wchar_t* SoundNamed(const std::string& name);
    SubtitleItem* CaptionsNamed(const std::string& name);
    WorldScreen* ScreenNamed(const std::string& name);
    WorldHotspot* HotspotArg(int index);
    WorldActionlist* SharedArg(int index);
    void Declare(std::map<std::string, int>& names, const std::string& name, int number, const char* kind);
    std::vector<int> Condition(const std::string& text);
    const char* Image(const std::string& path);
    std::string TextOf(const std::string& id);

    // A screen of the world, or, when the files are only described, one kept aside.
    WorldScreen* NewScreen(int number, int type, const char* image, int offset)
    {
        if (c_pWorld != nullptr) return c_pWorld->AddWorldScreen(number, type, image, offset);
        return c_scratchScreens.emplace_back(std::make_unique<WorldScreen>(number, type, offset, image)).get();
    }

    // ---- action lists ----
    void FillList(WorldActionlist* list, int table, bool named = false);
    void Finish();

    WorldFiles& c_out;
    WorldManager* c_pWorld;  // null: the files are only described, no record is built
    CreditsManager* c_pCredits;
    std::filesystem::path c_dir;
    const TextCatalogue& c_texts;
    WorldFiles::Limits c_limits;

    lua_State* c_L = nullptr;
    std::size_t c_used = 0;
    std::uint64_t c_instructions = 0;
    bool c_bOverMemory = false;
    Where c_overMemoryAt;
    std::set<std::string> c_included;
    std::map<std::string, std::vector<std::string>> c_sources;  // chunk name -> lines

    std::map<std::string, Grid> c_grids;
    int c_iNextCellBlock = 100;
    std::map<std::string, const wchar_t*> c_sounds;
    std::map<std::string, SubtitleItem*> c_captions;
    std::map<std::string, int> c_ambients;
    std::map<std::string, Film> c_films;
    std::map<std::string, Region> c_regions;
    std::map<std::string, WorldScreen*> c_screenRecords;
    std::set<const WorldHotspot*> c_namedCursors;
    bool c_bNoUseGiven = false;
    std::set<std::string> c_captionIds;         // every text id a captions{} line shows
    std::vector<Where> c_clueCalls;             // where each clue{} was called, for its screen
    std::vector<PendingList> c_pending;
    // The records of a described world, never used.
    std::vector<std::unique_ptr<WorldScreen>> c_scratchScreens;
    std::vector<std::unique_ptr<WorldGlobalVar>> c_scratchVars;
    std::vector<std::unique_ptr<WorldGlobalVarArray>> c_scratchGrids;
    std::vector<std::unique_ptr<WorldActionlist>> c_scratchLists;
};

namespace {

const char* const kHotspotType = "kelvane.hotspot";
const char* const kListType = "kelvane.list";
const char* const kActionKey = "kelvane_action";

}  // namespace

// ---- sandbox ----

void* WorldFilesLoader::Allocate(void* self, void* block, std::size_t oldSize, std::size_t newSize)
{
    auto* loader = static_cast<WorldFilesLoader*>(self);
    const std::size_t old = block != nullptr ? oldSize : 0;
    if (newSize == 0) {
        std::free(block);
        loader->c_used -= old;
        return nullptr;
    }
    // The bound is lifted while an error is being reported, so the report itself can be made.
    if (!loader->c_bOverMemory && loader->c_used - old + newSize > loader->c_limits.memoryBytes) {
        loader->c_bOverMemory = true;
        // Lua reports a failed allocation without a place: note where the script was.
        if (loader->c_L != nullptr) loader->c_overMemoryAt = loader->Caller(0);
        return nullptr;
    }
    void* moved = std::realloc(block, newSize);
    if (moved != nullptr) loader->c_used = loader->c_used - old + newSize;
    return moved;
}

void WorldFilesLoader::Hook(lua_State* L, lua_Debug*)
{
    void* self = nullptr;
    lua_getallocf(L, &self);
    auto* loader = static_cast<WorldFilesLoader*>(self);
    loader->c_instructions += kHookEvery;
    if (loader->c_instructions > loader->c_limits.instructions) {
        const Where at = loader->Caller(0);
        luaL_error(L, "%s:%d: the world files ran for more than %d million instructions: a loop that never ends?",
                   at.file.c_str(), at.line, static_cast<int>(loader->c_limits.instructions / 1000000));
    }
}

// Message handler of the protected calls: a fault of the memory bound gets the place where it
// happened, which Lua's own "not enough memory" does not carry.
int WorldFilesLoader::Traceback(lua_State* L)
{
    void* self = nullptr;
    lua_getallocf(L, &self);
    auto* loader = static_cast<WorldFilesLoader*>(self);
    if (loader->c_bOverMemory) {
        lua_Debug ar;
        std::string where;
        for (int level = 0; lua_getstack(L, level, &ar) != 0; ++level) {
            lua_getinfo(L, "Sl", &ar);
            if (ar.currentline > 0) {
                where = std::string(ar.short_src) + ":" + std::to_string(ar.currentline) + ": ";
                break;
            }
        }
        lua_pushfstring(L, "%sthe world files used more than %d MiB of memory: a table that grows without end?",
                        where.c_str(), static_cast<int>(loader->c_limits.memoryBytes >> 20));
        return 1;
    }
    if (lua_type(L, 1) != LUA_TSTRING) lua_pushstring(L, "the world files raised an error that is not a message");
    else lua_pushvalue(L, 1);
    return 1;
}

// The files' own messages go to the standard error, where the game's other reports go.
int WorldFilesLoader::Print(lua_State* L)
{
    const int n = lua_gettop(L);
    for (int i = 1; i <= n; ++i) {
        std::size_t length = 0;
        const char* s = luaL_tolstring(L, i, &length);
        if (i > 1) std::fputc('\t', stderr);
        std::fwrite(s, 1, length, stderr);
        lua_pop(L, 1);
    }
    std::fputc('\n', stderr);
    return 0;
}

std::string WorldFilesLoader::LineOf(const std::string& file, int line) const
{
    const auto it = c_sources.find(file);
    if (it == c_sources.end() || line < 1 || line > static_cast<int>(it->second.size())) return {};
    return it->second[static_cast<std::size_t>(line - 1)];
}

// Lua names a file and a line; the column is found from what the message quotes ("near 'x'",
// a name in quotes) on that line, else the line's first character.
std::string WorldFilesLoader::WithColumn(const std::string& message) const
{
    for (const auto& [file, lines] : c_sources) {
        if (message.compare(0, file.size(), file) != 0 || message.size() <= file.size() + 1 ||
            message[file.size()] != ':')
            continue;
        std::size_t at = file.size() + 1;
        int line = 0;
        while (at < message.size() && std::isdigit(static_cast<unsigned char>(message[at])))
            line = line * 10 + (message[at++] - '0');
        if (at >= message.size() || message[at] != ':' || line == 0) continue;
        if (at + 1 < message.size() && std::isdigit(static_cast<unsigned char>(message[at + 1]))) return message;
        const std::string text = LineOf(file, line);
        std::size_t column = text.find_first_not_of(" \t");
        const std::size_t quote = message.find('\'', at);
        if (quote != std::string::npos) {
            const std::size_t end = message.find('\'', quote + 1);
            if (end != std::string::npos && end > quote + 1) {
                const std::size_t found = text.find(message.substr(quote + 1, end - quote - 1));
                if (found != std::string::npos) column = found;
            }
        }
        if (column == std::string::npos) column = 0;
        return message.substr(0, at) + ":" + std::to_string(column + 1) + message.substr(at);
    }
    return message;
}

void WorldFilesLoader::FailFromLua(int status, const std::string& chunk)
{
    std::string message = lua_type(c_L, -1) == LUA_TSTRING ? lua_tostring(c_L, -1) : "the world files failed";
    if (status == LUA_ERRMEM) {
        const Where& at = c_overMemoryAt;
        message = (at.line > 0 ? at.file + ":" + std::to_string(at.line) + ": " : std::string()) +
                  "the world files used more than " + std::to_string(c_limits.memoryBytes >> 20) +
                  " MiB of memory: a table that grows without end?";
    }
    lua_pop(c_L, 1);
    // Some of Lua's own messages (a precompiled chunk refused) carry no place: the file's start.
    if (message.compare(0, chunk.size(), chunk) != 0 && c_sources.count(message.substr(0, message.find(':'))) == 0)
        message = chunk + ":1:1: " + message;
    throw PlacedError(WithColumn(message));
}

void WorldFilesLoader::RunFile(const std::string& name)
{
    const std::filesystem::path relative(name);
    if (relative.is_absolute() || name.find("..") != std::string::npos || name.empty())
        throw ScriptError("include \"" + name + "\": a world file is named by its path inside the world folder", name);
    const std::filesystem::path path = c_dir / relative;
    // Lua shortens long chunk names: the files are named inside the world folder here, and the
    // folder is put in front of every message once (Load).
    const std::string chunk = relative.lexically_normal().string();
    if (!c_included.insert(chunk).second) throw ScriptError("\"" + name + "\" is included twice", name);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ScriptError("cannot read the world file " + chunk, name);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    const std::string source = buffer.str();
    std::vector<std::string>& lines = c_sources[chunk];
    std::istringstream split(source);
    for (std::string line; std::getline(split, line);) lines.push_back(line);
    c_out.c_pFiles.push_back(path);

    lua_pushcfunction(c_L, &WorldFilesLoader::Traceback);
    const int handler = lua_gettop(c_L);
    const std::string chunkName = "@" + chunk;
    // Text only: precompiled chunks are refused, as they could break the sandbox.
    int status = luaL_loadbufferx(c_L, source.data(), source.size(), chunkName.c_str(), "t");
    if (status == LUA_OK) status = lua_pcall(c_L, 0, 0, handler);
    if (status != LUA_OK) {
        lua_remove(c_L, handler);
        FailFromLua(status, chunk);
    }
    lua_pop(c_L, 1);
}

// ---- calling convention of the functions the files call ----

WorldFilesLoader* Self(lua_State* L) { return static_cast<WorldFilesLoader*>(lua_touserdata(L, lua_upvalueindex(1))); }

Where WorldFilesLoader::Caller(int level) const
{
    lua_Debug ar;
    for (; lua_getstack(c_L, level, &ar) != 0; ++level) {
        lua_getinfo(c_L, "Sl", &ar);
        if (ar.currentline > 0 && ar.source[0] == '@') return {ar.source + 1, ar.currentline};
    }
    return {};
}

// Where the failing call was made in the author's file, and the helper calls that led there.
std::string WorldFilesLoader::Trail() const
{
    lua_Debug ar;
    std::vector<std::string> places;
    for (int level = 1; lua_getstack(c_L, level, &ar) != 0 && places.size() < 4; ++level) {
        lua_getinfo(c_L, "Sl", &ar);
        if (ar.currentline <= 0 || ar.source[0] != '@') continue;
        places.push_back(std::string(ar.source + 1) + ":" + std::to_string(ar.currentline));
    }
    if (places.size() <= 1) return {};
    std::string trail = " (called from";
    for (std::size_t i = 1; i < places.size(); ++i) trail += (i > 1 ? ", " : " ") + places[i];
    return trail + ")";
}

// Runs one API function; a C++ error becomes a Lua error carrying file:line:col, raised after
// every C++ object of the call is gone.
template <int (WorldFilesLoader::*F)(lua_State*)>
int WorldFilesLoader::Api(lua_State* L)
{
    WorldFilesLoader* self = Self(L);
    {
        std::string message;
        try {
            return (self->*F)(L);
        } catch (const PlacedError& e) {
            message = e.what();
        } catch (const ScriptError& e) {
            Where where = self->Caller();
            std::string text = self->LineOf(where.file, where.line);
            std::size_t column = e.get_Needle().empty() ? std::string::npos : text.find(e.get_Needle());
            // Lua names the line a call starts on; a table written over several lines may hold
            // the faulty value further down.
            for (int below = 1; column == std::string::npos && !e.get_Needle().empty() && below <= kCallLines; ++below) {
                const std::string next = self->LineOf(where.file, where.line + below);
                const std::size_t found = next.find(e.get_Needle());
                if (found == std::string::npos) continue;
                where.line += below;
                text = next;
                column = found;
            }
            column = column == std::string::npos ? text.find_first_not_of(" \t") : column + static_cast<std::size_t>(e.get_Column() - 1);
            if (column == std::string::npos) column = 0;
            message = where.file + ":" + std::to_string(where.line) + ":" + std::to_string(column + 1) + ": " +
                      e.what() + self->Trail();
        } catch (const std::exception& e) {
            const Where where = self->Caller();
            message = where.file + ":" + std::to_string(where.line) + ":1: " + e.what() + self->Trail();
        }
        lua_pushlstring(L, message.data(), message.size());
    }
    return lua_error(L);
}

void WorldFilesLoader::Register()
{
    struct Entry {
        const char* name;
        lua_CFunction f;
    };
    const Entry entries[] = {
        {"include", &Api<&WorldFilesLoader::Include>},
        {"text", &Api<&WorldFilesLoader::Text>},
        {"variable", &Api<&WorldFilesLoader::Variable>},
        {"grid", &Api<&WorldFilesLoader::GridDecl>},
        {"cell", &Api<&WorldFilesLoader::Cell>},
        {"set_now", &Api<&WorldFilesLoader::SetNow>},
        {"click_now", &Api<&WorldFilesLoader::ClickNow>},
        {"random", &Api<&WorldFilesLoader::Random>},
        {"sound", &Api<&WorldFilesLoader::Sound>},
        {"captions", &Api<&WorldFilesLoader::Captions>},
        {"ambient", &Api<&WorldFilesLoader::Ambient>},
        {"film", &Api<&WorldFilesLoader::FilmDecl>},
        {"item", &Api<&WorldFilesLoader::Item>},
        {"in_bar", &Api<&WorldFilesLoader::InBar>},
        {"region", &Api<&WorldFilesLoader::RegionDecl>},
        {"screen", &Api<&WorldFilesLoader::Screen>},
        {"close_up", &Api<&WorldFilesLoader::CloseUp>},
        {"book", &Api<&WorldFilesLoader::Book>},
        {"placeholder", &Api<&WorldFilesLoader::Placeholder>},
        {"hotspot", &Api<&WorldFilesLoader::Hotspot>},
        {"move", &Api<&WorldFilesLoader::Move>},
        {"choose", &Api<&WorldFilesLoader::Choose>},
        {"on_click", &Api<&WorldFilesLoader::OnClick>},
        {"on_use", &Api<&WorldFilesLoader::OnUse>},
        {"on_enter", &Api<&WorldFilesLoader::OnEnter>},
        {"shared", &Api<&WorldFilesLoader::Shared>},
        {"on_no_use", &Api<&WorldFilesLoader::OnNoUse>},
        {"overlay", &Api<&WorldFilesLoader::Overlay>},
        {"version", &Api<&WorldFilesLoader::Version>},
        {"code_key", &Api<&WorldFilesLoader::CodeKey>},
        {"credits", &Api<&WorldFilesLoader::Credits>},
        {"note", &Api<&WorldFilesLoader::NoteDecl>},
        {"goal", &Api<&WorldFilesLoader::GoalDecl>},
        {"idle_hint", &Api<&WorldFilesLoader::IdleHint>},
        {"clue", &Api<&WorldFilesLoader::ClueDecl>},
    };
    for (const Entry& e : entries) {
        lua_pushlightuserdata(c_L, this);
        lua_pushcclosure(c_L, e.f, 1);
        lua_setglobal(c_L, e.name);
    }
    // The actions: each makes a table {kelvane_action = name, ...arguments} read by the lists.
    const char* const actions[] = {"go",   "reload", "set",   "toggle", "copy",          "give", "show",
                                   "hide_cursor", "hide_bar", "play", "wait", "video", "song", "click",
                                   "start_ambient", "drop", "end_game"};
    for (const char* name : actions) {
        lua_pushlightuserdata(c_L, this);
        lua_pushstring(c_L, name);
        lua_pushcclosure(c_L, &Api<&WorldFilesLoader::MakeAction>, 2);
        lua_setglobal(c_L, name);
    }
    luaL_newmetatable(c_L, kHotspotType);
    lua_pop(c_L, 1);
    luaL_newmetatable(c_L, kListType);
    lua_pop(c_L, 1);
}

// ---- reading arguments ----

void WorldFilesLoader::CheckTable(int index, const char* what)
{
    if (!lua_istable(c_L, index)) throw ScriptError(std::string("expected a table of ") + what);
}

std::string WorldFilesLoader::StringArg(int index, const char* what)
{
    if (lua_type(c_L, index) != LUA_TSTRING) throw ScriptError(std::string("expected ") + what + " (a string)");
    return lua_tostring(c_L, index);
}

int WorldFilesLoader::IntArg(int index, const char* what)
{
    int isInt = 0;
    const lua_Integer v = lua_tointegerx(c_L, index, &isInt);
    if (isInt == 0 || v < INT32_MIN || v > INT32_MAX) throw ScriptError(std::string("expected ") + what + " (a whole number)");
    return static_cast<int>(v);
}

std::optional<std::string> WorldFilesLoader::StringField(int table, const char* field, bool required)
{
    lua_getfield(c_L, table, field);
    const int type = lua_type(c_L, -1);
    std::optional<std::string> value;
    if (type == LUA_TSTRING) value = lua_tostring(c_L, -1);
    lua_pop(c_L, 1);
    if (type != LUA_TNIL && type != LUA_TSTRING) throw ScriptError(std::string("'") + field + "' must be a string", field);
    if (!value && required) throw ScriptError(std::string("'") + field + "' is missing");
    return value;
}

std::optional<double> WorldFilesLoader::NumberField(int table, const char* field, bool required)
{
    lua_getfield(c_L, table, field);
    const int type = lua_type(c_L, -1);
    std::optional<double> value;
    if (type == LUA_TNUMBER) value = lua_tonumber(c_L, -1);
    lua_pop(c_L, 1);
    if (type != LUA_TNIL && type != LUA_TNUMBER) throw ScriptError(std::string("'") + field + "' must be a number", field);
    if (!value && required) throw ScriptError(std::string("'") + field + "' is missing");
    return value;
}

int WorldFilesLoader::IntField(int table, const char* field)
{
    const double v = *NumberField(table, field, true);
    if (v != std::floor(v) || v < INT32_MIN || v > INT32_MAX)
        throw ScriptError(std::string("'") + field + "' must be a whole number", field);
    return static_cast<int>(v);
}

int WorldFilesLoader::CursorField(int table)
{
    lua_getfield(c_L, table, "cursor");
    const int type = lua_type(c_L, -1);
    std::string name = type == LUA_TSTRING ? lua_tostring(c_L, -1) : "";
    lua_pop(c_L, 1);
    if (type != LUA_TSTRING) return IntField(table, "cursor", WorldManager::kCursorReact);
    const std::optional<int> cursor = hotspot_cursor::Named(name);
    if (!cursor) {
        std::string known;
        for (int i = 0; i < hotspot_cursor::kCount; ++i) known += std::string(i == 0 ? "" : ", ") + hotspot_cursor::Name(i);
        throw ScriptError("unknown cursor '" + name + "' (the cursors are " + known + ")", name);
    }
    return *cursor;
}

void WorldFilesLoader::NoteCursor(int table, WorldHotspot* hotspot)
{
    lua_getfield(c_L, table, "cursor");
    if (lua_type(c_L, -1) == LUA_TSTRING) c_namedCursors.insert(hotspot);
    lua_pop(c_L, 1);
}

int WorldFilesLoader::IntField(int table, const char* field, int fallback)
{
    lua_getfield(c_L, table, field);
    const bool absent = lua_isnil(c_L, -1);
    lua_pop(c_L, 1);
    return absent ? fallback : IntField(table, field);
}

bool WorldFilesLoader::BoolField(int table, const char* field, bool fallback)
{
    lua_getfield(c_L, table, field);
    const int type = lua_type(c_L, -1);
    const bool value = type == LUA_TNIL ? fallback : lua_toboolean(c_L, -1) != 0;
    lua_pop(c_L, 1);
    if (type != LUA_TNIL && type != LUA_TBOOLEAN) throw ScriptError(std::string("'") + field + "' must be true or false", field);
    return value;
}

void WorldFilesLoader::Rect(int table, int out[4])
{
    lua_getfield(c_L, table, "rect");
    const int rect = lua_gettop(c_L);
    if (!lua_istable(c_L, rect) || luaL_len(c_L, rect) != 4) {
        lua_pop(c_L, 1);
        throw ScriptError("'rect' must be {x1, y1, x2, y2}", "rect");
    }
    for (int i = 0; i < 4; ++i) {
        lua_rawgeti(c_L, rect, i + 1);
        int isInt = 0;
        const lua_Integer v = lua_tointegerx(c_L, -1, &isInt);
        lua_pop(c_L, 1);
        if (isInt == 0) {
            lua_pop(c_L, 1);
            throw ScriptError("'rect' must hold four whole numbers", "rect");
        }
        out[i] = static_cast<int>(v);
    }
    lua_pop(c_L, 1);
}

// ---- names ----

void WorldFilesLoader::Declare(std::map<std::string, int>& names, const std::string& name, int number, const char* kind)
{
    if (name.empty()) throw ScriptError(std::string("a ") + kind + " needs a name");
    if (!names.emplace(name, number).second) throw ScriptError(std::string("a ") + kind + " named '" + name + "' is declared twice", name);
}

int WorldFilesLoader::VariableNamed(const std::string& name)
{
    const auto it = c_out.c_pVariables.find(name);
    if (it == c_out.c_pVariables.end()) throw ScriptError("unknown variable '" + name + "'", name);
    return it->second;
}

// A variable's name, or a cell made by cell(grid, x, y) (an integer variable number).
int WorldFilesLoader::VariableOrCell(int index)
{
    if (lua_type(c_L, index) == LUA_TSTRING) return VariableNamed(lua_tostring(c_L, index));
    if (lua_istable(c_L, index)) {
        lua_getfield(c_L, index, "kelvane_cell");
        int isInt = 0;
        const lua_Integer v = lua_tointegerx(c_L, -1, &isInt);
        lua_pop(c_L, 1);
        if (isInt != 0) return static_cast<int>(v);
    }
    throw ScriptError("expected a variable's name or a cell(grid, x, y)");
}

const WorldFilesLoader::Grid& WorldFilesLoader::GridNamed(const std::string& name)
{
    const auto it = c_grids.find(name);
    if (it == c_grids.end()) throw ScriptError("unknown grid '" + name + "'", name);
    return it->second;
}

int WorldFilesLoader::ItemNamed(const std::string& name)
{
    const auto it = c_out.c_pItems.find(name);
    if (it == c_out.c_pItems.end()) throw ScriptError("unknown item '" + name + "'", name);
    return it->second;
}

const wchar_t* WorldFilesLoader::SoundNamed(const std::string& name)
{
    const auto it = c_sounds.find(name);
    if (it == c_sounds.end()) throw ScriptError("unknown sound '" + name + "'", name);
    return it->second;
}

SubtitleItem* WorldFilesLoader::CaptionsNamed(const std::string& name)
{
    const auto it = c_captions.find(name);
    if (it == c_captions.end()) throw ScriptError("unknown captions '" + name + "'", name);
    return it->second;
}

WorldScreen* WorldFilesLoader::ScreenNamed(const std::string& name)
{
    const auto it = c_screenRecords.find(name);
    if (it == c_screenRecords.end()) throw ScriptError("unknown screen '" + name + "' (declare it before adding to it)", name);
    return it->second;
}

WorldHotspot* WorldFilesLoader::HotspotArg(int index)
{
    auto* p = static_cast<WorldHotspot**>(luaL_testudata(c_L, index, kHotspotType));
    if (p == nullptr) throw ScriptError("expected a hotspot (what hotspot{} or move{} returns)");
    return *p;
}

WorldActionlist* WorldFilesLoader::SharedArg(int index)
{
    auto* p = static_cast<WorldActionlist**>(luaL_testudata(c_L, index, kListType));
    return p != nullptr ? *p : nullptr;
}

std::vector<int> WorldFilesLoader::Condition(const std::string& text)
{
    ConditionNames names;
    names.variable = [this](std::string_view n) -> std::optional<int> {
        const auto it = c_out.c_pVariables.find(std::string(n));
        return it == c_out.c_pVariables.end() ? std::nullopt : std::optional(it->second);
    };
    names.grid = [this](std::string_view n) -> std::optional<int> {
        const auto it = c_grids.find(std::string(n));
        return it == c_grids.end() ? std::nullopt : std::optional(it->second.number);
    };
    names.cell = [this](std::string_view n, int x, int y) -> std::optional<int> {
        const auto it = c_grids.find(std::string(n));
        if (it == c_grids.end() || x < 0 || y < 0 || x >= it->second.width || y >= it->second.height) return std::nullopt;
        return it->second.start + x + y * it->second.width;
    };
    try {
        return CompileCondition(text, names);
    } catch (const ConditionError& e) {
        throw ScriptError(std::string("condition \"") + text + "\": " + e.what(), text, e.get_Column());
    }
}

const char* WorldFilesLoader::Image(const std::string& path)
{
    if (path.empty()) throw ScriptError("an image path is empty");
    return c_out.c_pImagePaths.emplace_back(path).c_str();
}

// The catalogue's UTF-8 becomes the engine's Latin-1 here, where every line enters the world.
std::string WorldFilesLoader::TextOf(const std::string& id)
{
    const std::string* text = c_texts.Find(id);
    if (text == nullptr) throw ScriptError("no text with the identifier '" + id + "' in the catalogue", id);
    return Utf8ToLatin1(*text);
}

std::string WorldFiles::PlaceOf(int number) const
{
    for (const Screen& screen : c_pScreenList) {
        if (screen.number != number) continue;
        const auto title = c_pRegionTitles.find(screen.region);
        return title == c_pRegionTitles.end() ? std::string() : title->second;
    }
    return {};
}

// ---- declarations ----

int WorldFilesLoader::Include(lua_State*)
{
    const std::string name = StringArg(1, "a world file's name");
    RunFile(name);
    return 0;
}

int WorldFilesLoader::Text(lua_State* L)
{
    const std::string text = TextOf(StringArg(1, "a text identifier"));
    lua_pushlstring(L, text.data(), text.size());
    return 1;
}

int WorldFilesLoader::Variable(lua_State* L)
{
    const std::string name = StringArg(1, "the variable's name");
    const int start = IntArg(2, "its starting value");
    if (start < -128 || start > 255) throw ScriptError("a variable holds -128 to 255", name);
    const int number = static_cast<int>(c_out.c_pVariables.size()) + 1;
    Declare(c_out.c_pVariables, name, number, "variable");
    if (c_pWorld != nullptr) c_pWorld->AddGlobalVar(number, static_cast<unsigned char>(start));
    else c_scratchVars.push_back(std::make_unique<WorldGlobalVar>(number, static_cast<unsigned char>(start)));
    lua_pushinteger(L, number);
    return 1;
}

int WorldFilesLoader::GridDecl(lua_State* L)
{
    CheckTable(1, "the grid's fields");
    AllowFields(1, {"name", "width", "height", "max", "neighbours", "wrap_x", "wrap_y", "packed"}, "grid{}");
    const std::string name = *StringField(1, "name", true);
    const int width = IntField(1, "width"), height = IntField(1, "height"), max = IntField(1, "max");
    if (width < 1 || height < 1 || width * height > 1000) throw ScriptError("a grid has 1 to 1000 cells", name);
    if (max < 1 || max > 127) throw ScriptError("a grid's 'max' is 1 to 127", name);
    const bool packed = BoolField(1, "packed", false);
    const int start = packed ? c_iNextCellBlock : (c_iNextCellBlock + 99) / 100 * 100;
    const int number = static_cast<int>(c_grids.size()) + 1;
    Declare(c_out.c_pGrids, name, number, "grid");
    c_grids.emplace(name, Grid{number, start, width, height, max});
    WorldGlobalVarArray* grid =
        c_pWorld != nullptr
            ? c_pWorld->AddGlobalVarArray(number, start, width, height, max)
            : c_scratchGrids.emplace_back(std::make_unique<WorldGlobalVarArray>(c_scratchVars, number, start, width, height, max)).get();
    lua_getfield(L, 1, "neighbours");
    if (!lua_isnil(L, -1)) grid->set_ChangeAjenct(BoolField(1, "neighbours", false));
    lua_pop(L, 1);
    lua_getfield(L, 1, "wrap_x");
    if (!lua_isnil(L, -1)) grid->set_LoopH(BoolField(1, "wrap_x", false));
    lua_pop(L, 1);
    lua_getfield(L, 1, "wrap_y");
    if (!lua_isnil(L, -1)) grid->set_LoopV(BoolField(1, "wrap_y", false));
    lua_pop(L, 1);
    c_iNextCellBlock = (start + width * height + 9) / 10 * 10;
    lua_pushinteger(L, number);
    return 1;
}

int WorldFilesLoader::Cell(lua_State* L)
{
    const Grid& g = GridNamed(StringArg(1, "a grid's name"));
    const int x = IntArg(2, "a column"), y = IntArg(3, "a row");
    if (x < 0 || y < 0 || x >= g.width || y >= g.height)
        throw ScriptError("cell (" + std::to_string(x) + ", " + std::to_string(y) + ") is outside the grid");
    lua_createtable(L, 0, 1);
    lua_pushinteger(L, g.start + x + y * g.width);
    lua_setfield(L, -2, "kelvane_cell");
    return 1;
}

int WorldFilesLoader::SetNow(lua_State*)
{
    const int var = VariableOrCell(1);
    const int value = IntArg(2, "a value");
    if (value < -128 || value > 255) throw ScriptError("a variable holds -128 to 255");
    if (c_pWorld != nullptr) c_pWorld->setGlobalVarValue(var, static_cast<signed char>(value));
    return 0;
}

int WorldFilesLoader::ClickNow(lua_State*)
{
    const Grid& g = GridNamed(StringArg(1, "a grid's name"));
    const int x = IntArg(2, "a column"), y = IntArg(3, "a row");
    if (x < 0 || y < 0 || x >= g.width || y >= g.height) throw ScriptError("the cell is outside the grid");
    if (c_pWorld != nullptr) c_pWorld->getGlobalVarArray(g.number)->Click(x, y);
    return 0;
}

int WorldFilesLoader::Random(lua_State* L)
{
    const int n = IntArg(1, "how many values");
    if (n < 1) throw ScriptError("random(n) needs n of 1 or more");
    lua_pushinteger(L, std::rand() % n);
    return 1;
}

int WorldFilesLoader::Sound(lua_State*)
{
    CheckTable(1, "the sound's fields");
    AllowFields(1, {"name", "file"}, "sound{}");
    const std::string name = *StringField(1, "name", true);
    const std::string file = *StringField(1, "file", true);
    if (c_sounds.count(name) != 0) throw ScriptError("a sound named '" + name + "' is declared twice", name);
    c_sounds[name] = c_out.c_pMediaPaths.emplace_back(Widen(file)).c_str();
    return 0;
}

int WorldFilesLoader::Captions(lua_State* L)
{
    CheckTable(1, "the captions' fields");
    AllowFields(1, {"name"}, "captions{}", true);
    const std::string name = *StringField(1, "name", true);
    if (c_captions.count(name) != 0) throw ScriptError("captions named '" + name + "' are declared twice", name);
    SubtitleItem& lines = c_out.c_pLineLists.emplace_back();
    const lua_Integer count = luaL_len(L, 1);
    long long previous = -1;
    for (lua_Integer i = 1; i <= count; ++i) {
        lua_rawgeti(L, 1, i);
        const int entry = lua_gettop(L);
        if (!lua_istable(L, entry) || luaL_len(L, entry) != 2) {
            lua_pop(L, 1);
            throw ScriptError("each line of captions '" + name + "' is {milliseconds, text id}", name);
        }
        lua_rawgeti(L, entry, 1);
        int isInt = 0;
        const lua_Integer time = lua_tointegerx(L, -1, &isInt);
        lua_rawgeti(L, entry, 2);
        const char* id = lua_tostring(L, -1);
        const bool good = isInt != 0 && time >= 0 && time <= 0xFFFFFFFFll && id != nullptr && lua_type(L, -1) == LUA_TSTRING;
        const std::string idText = id != nullptr ? id : "";
        lua_pop(L, 3);
        if (!good) throw ScriptError("line " + std::to_string(i) + " of captions '" + name + "' is not {milliseconds, text id}", name);
        if (time < previous) throw ScriptError("line " + std::to_string(i) + " of captions '" + name + "' comes before the line above it", name);
        previous = time;
        const std::string& text = idText.empty() ? c_out.c_pLines.emplace_back() : c_out.c_pLines.emplace_back(TextOf(idText));
        if (!idText.empty()) c_captionIds.insert(idText);
        lines.Add(static_cast<std::uint32_t>(time), text.c_str());
    }
    c_captions[name] = &lines;
    return 0;
}

int WorldFilesLoader::Ambient(lua_State* L)
{
    CheckTable(1, "the ambient sound's fields");
    AllowFields(1, {"name", "sound", "caption", "bed"}, "ambient{}");
    const std::string name = *StringField(1, "name", true);
    const wchar_t* file = SoundNamed(*StringField(1, "sound", true));
    const std::optional<std::string> caption = StringField(1, "caption", false);
    // A bed plays on without a pause from the moment it is switched on (a region's own sound).
    const bool bed = BoolField(1, "bed", false);
    const int number = static_cast<int>(c_ambients.size()) + 1;
    if (!c_ambients.emplace(name, number).second) throw ScriptError("an ambient sound named '" + name + "' is declared twice", name);
    const SubtitleItem* lines = caption ? CaptionsNamed(*caption) : nullptr;
    if (c_pWorld != nullptr) c_pWorld->AddRepetiveSound(number, file, lines, bed);
    lua_pushinteger(L, number);
    return 1;
}

int WorldFilesLoader::GoalDecl(lua_State* L)
{
    constexpr std::size_t kFewestHints = 3;
    CheckTable(1, "the goal's fields");
    AllowFields(1, {"name", "open", "done", "hints"}, "goal{}");
    WorldFiles::Goal goal;
    goal.name = *StringField(1, "name", true);
    for (const WorldFiles::Goal& other : c_out.c_pGoals)
        if (other.name == goal.name) throw ScriptError("a goal named '" + goal.name + "' is declared twice", goal.name);
    goal.open = Condition(*StringField(1, "open", true));
    goal.done = Condition(*StringField(1, "done", true));
    lua_getfield(L, 1, "hints");
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        throw ScriptError("goal '" + goal.name + "' has no hints = {text id, ...}", goal.name);
    }
    const lua_Integer count = luaL_len(L, -1);
    for (lua_Integer i = 1; i <= count; ++i) {
        lua_rawgeti(L, -1, i);
        const bool text = lua_type(L, -1) == LUA_TSTRING;
        const std::string id = text ? lua_tostring(L, -1) : "";
        lua_pop(L, 1);
        if (!text) {
            lua_pop(L, 1);
            throw ScriptError("hint " + std::to_string(i) + " of goal '" + goal.name + "' is not a text id", goal.name);
        }
        try {
            goal.hints.push_back(TextOf(id));
        } catch (...) {
            lua_pop(L, 1);
            throw;
        }
    }
    lua_pop(L, 1);
    if (goal.hints.size() < kFewestHints)
        throw ScriptError("goal '" + goal.name + "' has " + std::to_string(goal.hints.size()) +
                              " hints; a goal needs three or more, from a nudge to the answer",
                          goal.name);
    const Where where = Caller();
    goal.where = where.file + ":" + std::to_string(where.line);
    c_out.c_pGoals.push_back(std::move(goal));
    return 0;
}

int WorldFilesLoader::IdleHint(lua_State*)
{
    c_out.c_sIdleHint = TextOf(StringArg(1, "the text id of the line given when no goal is open"));
    return 0;
}

int WorldFilesLoader::ClueDecl(lua_State*)
{
    CheckTable(1, "the clue's fields");
    AllowFields(1, {"name", "screen", "line", "title"}, "clue{}");
    WorldFiles::Clue clue;
    clue.name = *StringField(1, "name", true);
    if (clue.name.empty()) throw ScriptError("a clue needs a name");
    for (const WorldFiles::Clue& other : c_out.c_pClues)
        if (other.name == clue.name) throw ScriptError("a clue named '" + clue.name + "' is declared twice", clue.name);
    const std::optional<std::string> screen = StringField(1, "screen", false);
    const std::optional<std::string> line = StringField(1, "line", false);
    if (screen.has_value() == line.has_value())
        throw ScriptError("clue '" + clue.name + "' needs either screen = \"...\" (a screen looked at) or line = " +
                              "\"<text id>\" (a line of captions), not " + (screen ? "both" : "neither"),
                          clue.name);
    if (line) {
        if (c_captionIds.count(*line) == 0) {
            if (c_texts.Find(*line) == nullptr) TextOf(*line);  // names the missing text
            throw ScriptError("clue '" + clue.name + "': the text '" + *line +
                                  "' is no line of any captions{} declared before it",
                              *line);
        }
        clue.lineId = *line;
        clue.line = TextOf(*line);
    } else {
        clue.screen = *screen;  // numbered when every file has run (Finish)
    }
    clue.title = TextOf(*StringField(1, "title", true));
    const Where where = Caller();
    clue.where = where.file + ":" + std::to_string(where.line);
    c_clueCalls.push_back(where);
    c_out.c_pClues.push_back(std::move(clue));
    return 0;
}

int WorldFilesLoader::FilmDecl(lua_State*)
{
    CheckTable(1, "the film's fields");
    AllowFields(1, {"name", "file", "subtitles"}, "film{}");
    const std::string name = *StringField(1, "name", true);
    const std::string file = *StringField(1, "file", true);
    const std::optional<std::string> subtitles = StringField(1, "subtitles", false);
    SubtitleItem* lines = subtitles ? CaptionsNamed(*subtitles) : nullptr;
    if (c_films.count(name) != 0) throw ScriptError("a film named '" + name + "' is declared twice", name);
    c_films[name] = {c_out.c_pMediaPaths.emplace_back(Widen(file)).c_str(), lines};
    return 0;
}

int WorldFilesLoader::Item(lua_State* L)
{
    CheckTable(1, "the item's fields");
    AllowFields(1, {"name", "picture", "react_mask", "plain_mask", "sound", "title"}, "item{}");
    const std::string name = *StringField(1, "name", true);
    const char* picture = Image(*StringField(1, "picture", true));
    const char* react = Image(*StringField(1, "react_mask", true));
    const char* plain = Image(*StringField(1, "plain_mask", true));
    const wchar_t* sound = SoundNamed(*StringField(1, "sound", true));
    const int number = static_cast<int>(c_out.c_pItems.size()) + 1;
    Declare(c_out.c_pItems, name, number, "item");
    if (c_pWorld != nullptr)
        c_pWorld->AddItem(number, picture, picture, plain, picture, react, sound, kItemSide, kItemSide, kItemHotspot,
                    kItemHotspot, OffsetOf(picture), kFirstItemScreen + (number - 1) * kItemScreenStep);
    // The name the player reads with the pointer on the item, from the texts.
    if (const std::optional<std::string> title = StringField(1, "title", false)) {
        const std::string text = TextOf(*title);
        if (c_pWorld != nullptr) c_pWorld->set_ItemTitle(number, text);
    }
    lua_pushinteger(L, number);
    return 1;
}

int WorldFilesLoader::InBar(lua_State*)
{
    const int item = ItemNamed(StringArg(1, "an item's name"));
    if (c_pWorld != nullptr) c_pWorld->ActivateItem(item);
    return 0;
}

int WorldFilesLoader::RegionDecl(lua_State*)
{
    CheckTable(1, "the region's fields");
    AllowFields(1, {"name", "block", "title"}, "region{}");
    const std::string name = *StringField(1, "name", true);
    const int block = IntField(1, "block");
    if (!c_regions.emplace(name, Region{block, std::nullopt, std::nullopt}).second)
        throw ScriptError("a region named '" + name + "' is declared twice", name);
    // What the player reads for where they are (a save's place); the name stands in without one.
    const std::optional<std::string> title = StringField(1, "title", false);
    c_out.c_pRegionTitles[name] = title ? TextOf(*title) : name;
    return 0;
}

int WorldFilesLoader::Screen(lua_State* L)
{
    CheckTable(1, "the screen's fields");
    AllowFields(1, {"name", "region", "panorama", "image", "number", "custom_function"}, "screen{}");
    const std::string name = *StringField(1, "name", true);
    const bool panorama = BoolField(1, "panorama", false);
    const char* image = Image(*StringField(1, "image", true));
    const std::optional<std::string> regionName = StringField(1, "region", false);
    lua_getfield(L, 1, "number");
    const bool numbered = !lua_isnil(L, -1);
    lua_pop(L, 1);
    Region* region = nullptr;
    if (regionName) {
        const auto it = c_regions.find(*regionName);
        if (it == c_regions.end()) throw ScriptError("unknown region '" + *regionName + "'", *regionName);
        region = &it->second;
    }
    if (!numbered && region == nullptr) throw ScriptError("screen '" + name + "' needs a region or a number", name);
    std::optional<int>* next = region == nullptr ? nullptr : (panorama ? &region->nextPanorama : &region->nextFlat);
    const int number = numbered ? IntField(1, "number") : next->value_or(region->block + (panorama ? 0 : kFlatNumbersFrom));
    if (next != nullptr) *next = number + 1;
    Declare(c_out.c_pScreens, name, number, "screen");
    c_out.c_pScreenList.push_back({name, number, panorama, image, regionName.value_or(""), region != nullptr});
    WorldScreen* screen =
        NewScreen(number, panorama ? WorldScreen::kPanorama : WorldScreen::kFlat, image, OffsetOf(image));
    const int custom = IntField(1, "custom_function", 0);
    if (custom != 0) screen->set_CustomFunction(custom);
    c_screenRecords[name] = screen;
    lua_pushstring(L, name.c_str());
    return 1;
}

int WorldFilesLoader::CloseUp(lua_State* L)
{
    CheckTable(1, "the close-up's fields");
    AllowFields(1, {"item", "image", "name"}, "close_up{}");
    const std::string item = *StringField(1, "item", true);
    const int number = kFirstItemScreen + (ItemNamed(item) - 1) * kItemScreenStep;
    const char* image = Image(*StringField(1, "image", true));
    const std::string name = StringField(1, "name", false).value_or(item + "_close_up");
    Declare(c_out.c_pScreens, name, number, "screen");
    c_out.c_pScreenList.push_back({name, number, false, image, item});
    c_screenRecords[name] = NewScreen(number, WorldScreen::kFlat, image, OffsetOf(image));
    lua_pushstring(L, name.c_str());
    return 1;
}

int WorldFilesLoader::Book(lua_State* L)
{
    CheckTable(1, "the book's fields");
    AllowFields(1, {"name", "item", "number", "cover", "page", "pages"}, "book{}");
    const std::string name = *StringField(1, "name", true);
    const std::optional<std::string> item = StringField(1, "item", false);
    const int first = item ? kFirstItemScreen + (ItemNamed(*item) - 1) * kItemScreenStep : IntField(1, "number");
    const wchar_t* cover = SoundNamed(*StringField(1, "cover", true));
    const wchar_t* page = SoundNamed(*StringField(1, "page", true));
    lua_getfield(L, 1, "pages");
    const int pages = lua_gettop(L);
    if (!lua_istable(L, pages) || luaL_len(L, pages) < 1) {
        lua_pop(L, 1);
        throw ScriptError("book '" + name + "' needs 'pages', a list of page images", name);
    }
    std::vector<std::string> images;
    for (lua_Integer i = 1; i <= luaL_len(L, pages); ++i) {
        lua_rawgeti(L, pages, i);
        const char* image = lua_tostring(L, -1);
        const bool good = image != nullptr && lua_type(L, -1) == LUA_TSTRING;
        if (good) images.emplace_back(image);
        lua_pop(L, 1);
        if (!good) {
            lua_pop(L, 1);
            throw ScriptError("page " + std::to_string(i) + " of book '" + name + "' is not an image path", name);
        }
    }
    lua_pop(L, 1);
    std::optional<WorldBookCreator> creator;
    if (c_pWorld != nullptr) creator.emplace(c_pWorld, cover, page, first, OffsetOf(images.front()));
    lua_createtable(L, static_cast<int>(images.size()), 0);
    for (std::size_t i = 0; i < images.size(); ++i) {
        const std::string pageName = name + "_p" + std::to_string(i + 1);
        Declare(c_out.c_pScreens, pageName, first + static_cast<int>(i), "screen");
        const char* image = Image(images[i]);
        WorldScreen* page = creator ? creator->AddPage(image) : NewScreen(first + static_cast<int>(i), WorldScreen::kFlat, image, 0);
        page->set_BookPage(true);
        c_screenRecords[pageName] = page;
        c_out.c_pScreenList.push_back({pageName, first + static_cast<int>(i), false, images[i], name});
        lua_pushstring(L, pageName.c_str());
        lua_rawseti(L, -2, static_cast<lua_Integer>(i + 1));
    }
    return 1;
}

int WorldFilesLoader::Placeholder(lua_State*)
{
    CheckTable(1, "the placeholder's fields");
    AllowFields(1, {"number", "panorama", "image"}, "placeholder{}");
    const int number = IntField(1, "number");
    const bool panorama = BoolField(1, "panorama", false);
    NewScreen(number, panorama ? WorldScreen::kPanorama : WorldScreen::kFlat,
                           Image(*StringField(1, "image", true)), 0);
    return 0;
}

// ---- things on screens ----

namespace {

void PushHandle(lua_State* L, void* record, const char* type)
{
    *static_cast<void**>(lua_newuserdatauv(L, sizeof(void*), 0)) = record;
    luaL_setmetatable(L, type);
}

}  // namespace

int WorldFilesLoader::Hotspot(lua_State* L)
{
    CheckTable(1, "the hotspot's fields");
    AllowFields(1, {"screen", "rect", "cursor", "simple_move", "when"}, "hotspot{}");
    WorldScreen* screen = ScreenNamed(*StringField(1, "screen", true));
    int r[4];
    Rect(1, r);
    WorldHotspot* hotspot = screen->AddHotspot(r[0], r[1], r[2], r[3], CursorField(1), BoolField(1, "simple_move", false));
    NoteCursor(1, hotspot);
    if (const std::optional<std::string> when = StringField(1, "when", false))
        for (int token : Condition(*when)) hotspot->addCondition(token);
    PushHandle(L, hotspot, kHotspotType);
    return 1;
}

int WorldFilesLoader::Move(lua_State* L)
{
    CheckTable(1, "the move's fields");
    AllowFields(1, {"screen", "rect", "to", "cursor", "angle", "center", "fade", "when"}, "move{}");
    WorldScreen* screen = ScreenNamed(*StringField(1, "screen", true));
    int r[4];
    Rect(1, r);
    const std::string to = *StringField(1, "to", true);
    WorldHotspot* hotspot = screen->AddHotspot(r[0], r[1], r[2], r[3], CursorField(1), true);
    NoteCursor(1, hotspot);
    Action go{ACT_GotoScreen, {}, Caller()};
    Param target;
    target.screen = to;
    go.params.push_back(target);
    if (const std::optional<double> fade = NumberField(1, "fade", false)) go.params.push_back({1, static_cast<float>(*fade)});
    if (const std::optional<double> angle = NumberField(1, "angle", false)) go.params.push_back({2, static_cast<float>(*angle)});
    if (const std::optional<std::string> center = StringField(1, "center", false)) {
        const int reset = *center == "x" ? 1 : *center == "y" ? 2 : *center == "both" ? 3 : 0;
        if (reset == 0) throw ScriptError("'center' is \"x\", \"y\" or \"both\"", *center);
        go.params.push_back({3, static_cast<float>(reset)});
    }
    c_pending.push_back({hotspot->AddActionlist(true, 0), {go}});
    if (const std::optional<std::string> when = StringField(1, "when", false))
        for (int token : Condition(*when)) hotspot->addCondition(token);
    PushHandle(L, hotspot, kHotspotType);
    return 1;
}

int WorldFilesLoader::Choose(lua_State*)
{
    CheckTable(1, "the choice's fields");
    AllowFields(1, {"hotspot", "var", "value", "to", "otherwise"}, "choose{}");
    lua_getfield(c_L, 1, "hotspot");
    WorldHotspot* hotspot = HotspotArg(-1);
    lua_pop(c_L, 1);
    lua_getfield(c_L, 1, "var");
    const int var = VariableOrCell(-1);
    lua_pop(c_L, 1);
    const int value = IntField(1, "value");
    const std::string to = *StringField(1, "to", true);
    const std::optional<std::string> otherwise = StringField(1, "otherwise", false);
    // As the hotspot's own variable-dependent exits: one list while the variable holds the
    // value, one while it differs.
    auto branch = [&](int compare, const std::string& screen) {
        WorldActionlist* list = hotspot->AddActionlist(true, 0);
        for (int token : {static_cast<int>(CT_Var), var, compare, static_cast<int>(CT_Value), value}) list->addCondition(token);
        Param target;
        target.screen = screen;
        c_pending.push_back({list, {Action{ACT_GotoScreen, {target}, Caller()}}});
    };
    branch(CT_Equal, to);
    if (otherwise) branch(CT_NotEqual, *otherwise);
    return 0;
}

int WorldFilesLoader::OnClick(lua_State*)
{
    WorldHotspot* hotspot = HotspotArg(1);
    CheckTable(2, "actions");
    FillList(hotspot->AddActionlist(true, 0), 2);
    return 0;
}

int WorldFilesLoader::OnUse(lua_State*)
{
    WorldHotspot* hotspot = HotspotArg(1);
    const int item = ItemNamed(StringArg(2, "an item's name"));
    CheckTable(3, "actions");
    FillList(hotspot->AddActionlist(false, item), 3);
    return 0;
}

int WorldFilesLoader::OnEnter(lua_State*)
{
    WorldScreen* screen = ScreenNamed(StringArg(1, "a screen's name"));
    if (WorldActionlist* shared = SharedArg(2)) {
        screen->AddPreActionList(shared);
        return 0;
    }
    CheckTable(2, "actions (or a shared list)");
    FillList(screen->AddPreActionList(), 2);
    return 0;
}

int WorldFilesLoader::Shared(lua_State* L)
{
    CheckTable(1, "actions");
    WorldActionlist* list = c_pWorld != nullptr ? c_pWorld->AddSharedActionlist(false, 0)
                                                : c_scratchLists.emplace_back(std::make_unique<WorldActionlist>(false, 0)).get();
    FillList(list, 1, true);
    PushHandle(L, list, kListType);
    return 1;
}

int WorldFilesLoader::OnNoUse(lua_State*)
{
    CheckTable(1, "actions");
    if (c_bNoUseGiven) throw ScriptError("on_no_use() is given twice: the world has one answer for an item of no use");
    c_bNoUseGiven = true;
    WorldActionlist* list = c_pWorld != nullptr ? c_pWorld->AddSharedActionlist(false, 0)
                                                : c_scratchLists.emplace_back(std::make_unique<WorldActionlist>(false, 0)).get();
    FillList(list, 1);
    if (c_pWorld != nullptr) c_pWorld->set_NoUseList(list);
    return 0;
}

int WorldFilesLoader::Overlay(lua_State*)
{
    CheckTable(1, "the overlay's fields");
    AllowFields(1, {"screen", "x", "y", "w", "h", "image", "when"}, "overlay{}");
    WorldScreen* screen = ScreenNamed(*StringField(1, "screen", true));
    const char* image = Image(*StringField(1, "image", true));
    WorldOverlay* overlay = screen->AddOverlay(IntField(1, "x"), IntField(1, "y"), IntField(1, "w"), IntField(1, "h"), image,
                                               OffsetOf(image));
    if (const std::optional<std::string> when = StringField(1, "when", false))
        for (int token : Condition(*when)) overlay->addCondition(token);
    return 0;
}

int WorldFilesLoader::Version(lua_State*)
{
    CheckTable(1, "the version's fields");
    AllowFields(1, {"screen", "var", "value", "image"}, "version{}");
    WorldScreen* screen = ScreenNamed(*StringField(1, "screen", true));
    lua_getfield(c_L, 1, "var");
    const int var = VariableOrCell(-1);
    lua_pop(c_L, 1);
    screen->AddOverwriteBaseImage(var, IntField(1, "value"), Image(*StringField(1, "image", true)));
    return 0;
}

int WorldFilesLoader::CodeKey(lua_State*)
{
    CheckTable(1, "the code key's fields");
    AllowFields(1, {"screen", "x", "y", "w", "h", "grid", "cx", "cy", "image", "sound"}, "code_key{}");
    WorldScreen* screen = ScreenNamed(*StringField(1, "screen", true));
    const Grid& grid = GridNamed(*StringField(1, "grid", true));
    const int cx = IntField(1, "cx"), cy = IntField(1, "cy");
    if (cx < 0 || cy < 0 || cx >= grid.width || cy >= grid.height) throw ScriptError("the code key's cell is outside its grid");
    const char* image = Image(*StringField(1, "image", true));
    const wchar_t* sound = SoundNamed(*StringField(1, "sound", true));
    screen->AddCodeKey(IntField(1, "x"), IntField(1, "y"), IntField(1, "w"), IntField(1, "h"),
                       grid.start + cx + cy * grid.width, grid.number, cx, cy, image, OffsetOf(image), sound);
    return 0;
}

int WorldFilesLoader::Credits(lua_State* L)
{
    CheckTable(1, "credits lines");
    const lua_Integer count = luaL_len(L, 1);
    for (lua_Integer i = 1; i <= count; ++i) {
        lua_rawgeti(L, 1, i);
        const int entry = lua_gettop(L);
        if (!lua_istable(L, entry)) {
            lua_pop(L, 1);
            throw ScriptError("credits line " + std::to_string(i) + " is not a table");
        }
        lua_getfield(L, entry, "blank");
        const bool blank = !lua_isnil(L, -1);
        lua_pop(L, 1);
        if (blank) {
            const int lines = IntField(entry, "blank");
            lua_pop(L, 1);
            if (lines < 1 || lines > 100) throw ScriptError("a blank run in the credits is 1 to 100 lines");
            if (c_pCredits != nullptr) c_pCredits->AddSpaceLines(lines);
            continue;
        }
        lua_rawgeti(L, entry, 1);
        lua_rawgeti(L, entry, 2);
        const std::string id = lua_type(L, -2) == LUA_TSTRING ? lua_tostring(L, -2) : "";
        const std::string style = lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : "plain";
        lua_pop(L, 3);
        const int type = style == "plain" ? CreditsLine::kPlain : style == "bold" ? CreditsLine::kBold
                         : style == "italic" ? CreditsLine::kItalic : -1;
        if (type < 0) throw ScriptError("credits style '" + style + "' is not plain, bold or italic", style);
        const std::string& text = id.empty() ? c_out.c_pLines.emplace_back() : c_out.c_pLines.emplace_back(TextOf(id));
        if (c_pCredits != nullptr) c_pCredits->AddLine(text.c_str(), type);
    }
    return 0;
}

// ---- notes for the tools ----

WorldNote WorldFilesLoader::ReadNote(int index, int depth)
{
    if (depth > 16) throw ScriptError("a note nests deeper than 16 tables");
    index = lua_absindex(c_L, index);
    WorldNote note;
    switch (lua_type(c_L, index)) {
    case LUA_TNIL: return note;
    case LUA_TBOOLEAN:
        note.kind = WorldNote::Flag;
        note.flag = lua_toboolean(c_L, index) != 0;
        return note;
    case LUA_TNUMBER:
        note.kind = WorldNote::Number;
        note.number = lua_tonumber(c_L, index);
        return note;
    case LUA_TSTRING:
        note.kind = WorldNote::Text;
        note.text = lua_tostring(c_L, index);
        return note;
    case LUA_TTABLE: break;
    default: throw ScriptError(std::string("a note holds numbers, strings, flags and tables, not a ") + luaL_typename(c_L, index));
    }
    const lua_Integer length = luaL_len(c_L, index);
    note.kind = length > 0 ? WorldNote::List : WorldNote::Table;
    for (lua_Integer i = 1; i <= length; ++i) {
        lua_rawgeti(c_L, index, i);
        WorldNote item;
        try {
            item = ReadNote(-1, depth + 1);
        } catch (...) {
            lua_pop(c_L, 1);
            throw;
        }
        lua_pop(c_L, 1);
        note.list.push_back(std::move(item));
    }
    lua_pushnil(c_L);
    while (lua_next(c_L, index) != 0) {
        if (lua_type(c_L, -2) == LUA_TSTRING) {
            const std::string key = lua_tostring(c_L, -2);
            WorldNote value;
            try {
                value = ReadNote(-1, depth + 1);
            } catch (...) {
                lua_pop(c_L, 2);
                throw;
            }
            note.table[key] = std::move(value);
        } else if (!lua_isinteger(c_L, -2) || lua_tointeger(c_L, -2) < 1 || lua_tointeger(c_L, -2) > length) {
            lua_pop(c_L, 2);
            throw ScriptError("a note's table is keyed by names or by 1, 2, 3, ...");
        }
        lua_pop(c_L, 1);
    }
    if (note.kind == WorldNote::List && !note.table.empty()) note.kind = WorldNote::Table;
    return note;
}

int WorldFilesLoader::NoteDecl(lua_State*)
{
    const std::string kind = StringArg(1, "the note's kind");
    WorldNote value = ReadNote(2, 0);
    const Where where = Caller();
    c_out.c_pNotes.push_back({kind, std::move(value), where.file + ":" + std::to_string(where.line)});
    return 0;
}

// A misspelt field would be dropped without a word: every field must be one the call knows.
void WorldFilesLoader::AllowFields(int table, std::initializer_list<const char*> known, const char* what, bool list)
{
    table = lua_absindex(c_L, table);
    lua_pushnil(c_L);
    while (lua_next(c_L, table) != 0) {
        lua_pop(c_L, 1);
        if (lua_type(c_L, -1) == LUA_TSTRING) {
            const std::string key = lua_tostring(c_L, -1);
            if (std::none_of(known.begin(), known.end(), [&](const char* k) { return key == k; })) {
                lua_pop(c_L, 1);
                std::string names;
                for (const char* k : known) names += (names.empty() ? "" : ", ") + std::string(k);
                throw ScriptError(std::string("unknown field '") + key + "' in " + what + " (known: " + names + ")", key);
            }
        } else if (!list || !lua_isinteger(c_L, -1)) {
            lua_pop(c_L, 1);
            throw ScriptError(std::string(what) + " takes named fields only");
        }
    }
}

// ---- actions ----

int WorldFilesLoader::MakeAction(lua_State* L)
{
    const int args = lua_gettop(L);
    lua_createtable(L, args, 1);
    lua_pushvalue(L, lua_upvalueindex(2));
    lua_setfield(L, -2, kActionKey);
    for (int i = 1; i <= args; ++i) {
        lua_pushvalue(L, i);
        lua_rawseti(L, -2, i);
    }
    const Where where = Caller();
    lua_pushstring(L, where.file.c_str());
    lua_setfield(L, -2, "kelvane_file");
    lua_pushinteger(L, where.line);
    lua_setfield(L, -2, "kelvane_line");
    return 1;
}

// Reads a list table ({when = ..., action, action, ...}) into `list`: the condition now, the
// actions once every screen is known.
void WorldFilesLoader::FillList(WorldActionlist* list, int table, bool named)
{
    table = lua_absindex(c_L, table);
    if (named) AllowFields(table, {"name", "when"}, "shared{}", true);
    else AllowFields(table, {"when"}, "a list of actions", true);
    if (const std::optional<std::string> when = StringField(table, "when", false))
        for (int token : Condition(*when)) list->addCondition(token);
    PendingList pending{list, {}};
    const lua_Integer count = luaL_len(c_L, table);
    for (lua_Integer i = 1; i <= count; ++i) {
        lua_rawgeti(c_L, table, i);
        const int a = lua_gettop(c_L);
        if (!lua_istable(c_L, a)) {
            lua_pop(c_L, 1);
            throw ScriptError("entry " + std::to_string(i) + " of the list is not an action (go(...), set(...), ...)");
        }
        lua_getfield(c_L, a, kActionKey);
        const std::string op = lua_type(c_L, -1) == LUA_TSTRING ? lua_tostring(c_L, -1) : "";
        lua_pop(c_L, 1);
        if (op.empty()) {
            lua_pop(c_L, 1);
            throw ScriptError("entry " + std::to_string(i) + " of the list is not an action (go(...), set(...), ...)");
        }
        Action action;
        lua_getfield(c_L, a, "kelvane_file");
        action.where.file = lua_tostring(c_L, -1);
        lua_getfield(c_L, a, "kelvane_line");
        action.where.line = static_cast<int>(lua_tointeger(c_L, -1));
        lua_pop(c_L, 2);
        const int arg1 = 1, arg2 = 2, arg3 = 3;
        auto argAt = [&](int k) {
            lua_rawgeti(c_L, a, k);
            return lua_gettop(c_L);
        };
        auto intAt = [&](int k, const char* what) {
            const int at = argAt(k);
            int isInt = 0;
            const lua_Integer v = lua_tointegerx(c_L, at, &isInt);
            lua_pop(c_L, 1);
            if (isInt == 0) throw ScriptError(op + "(): expected " + what + " (a whole number)", op);
            return static_cast<float>(v);
        };
        auto stringAt = [&](int k, const char* what) {
            const int at = argAt(k);
            const bool good = lua_type(c_L, at) == LUA_TSTRING;
            const std::string s = good ? lua_tostring(c_L, at) : "";
            lua_pop(c_L, 1);
            if (!good) throw ScriptError(op + "(): expected " + what + " (a string)", op);
            return s;
        };
        auto varAt = [&](int k) {
            const int at = argAt(k);
            int var = 0;
            try {
                var = VariableOrCell(at);
            } catch (...) {
                lua_pop(c_L, 1);
                throw;
            }
            lua_pop(c_L, 1);
            return static_cast<float>(var);
        };
        auto flag = [&](int k) {
            const int at = argAt(k);
            const bool on = lua_toboolean(c_L, at) != 0;
            lua_pop(c_L, 1);
            return on ? 1.0f : 0.0f;
        };
        // Options table at argument k: numbers and flags by name.
        auto option = [&](int k, const char* field) -> std::optional<double> {
            const int at = argAt(k);
            std::optional<double> v;
            if (lua_istable(c_L, at)) {
                lua_getfield(c_L, at, field);
                if (lua_type(c_L, -1) == LUA_TNUMBER) v = lua_tonumber(c_L, -1);
                else if (lua_type(c_L, -1) == LUA_TBOOLEAN) v = lua_toboolean(c_L, -1) != 0 ? 1.0 : 0.0;
                else if (lua_type(c_L, -1) == LUA_TSTRING) {
                    const std::string s = lua_tostring(c_L, -1);
                    v = s == "x" ? 1.0 : s == "y" ? 2.0 : s == "both" ? 3.0 : -1.0;
                } else if (!lua_isnil(c_L, -1)) {
                    lua_pop(c_L, 2);
                    throw ScriptError(op + "(): option '" + field + "' has the wrong kind of value", field);
                }
                lua_pop(c_L, 1);
            } else if (!lua_isnil(c_L, at)) {
                lua_pop(c_L, 1);
                throw ScriptError(op + "(): the options must be a table", op);
            }
            lua_pop(c_L, 1);
            return v;
        };
        auto add = [&](int type, float value) { action.params.push_back({type, value}); };
        // The options each action knows, at the argument that takes them.
        struct Options {
            const char* op;
            int at;
            std::initializer_list<const char*> known;
        };
        static const Options kOptions[] = {
            {"go", 2, {"fade", "angle", "center"}}, {"reload", 1, {"fade", "angle"}}, {"play", 2, {"caption"}},
            {"wait", 2, {"hide", "render"}},       {"video", 2, {"pause_music", "full_screen"}},
            {"song", 2, {"restart"}},               {"end_game", 1, {"now"}},
        };
        for (const Options& o : kOptions) {
            if (op != o.op) continue;
            const int at = argAt(o.at);
            if (lua_istable(c_L, at)) {
                try {
                    AllowFields(at, o.known, (op + "()'s options").c_str());
                } catch (...) {
                    lua_pop(c_L, 1);
                    throw;
                }
            }
            lua_pop(c_L, 1);
        }
        if (op == "go") {
            action.code = ACT_GotoScreen;
            Param target;
            target.screen = stringAt(arg1, "a screen's name");
            action.params.push_back(target);
            if (auto fade = option(arg2, "fade")) add(1, static_cast<float>(*fade));
            if (auto angle = option(arg2, "angle")) add(2, static_cast<float>(*angle));
            if (auto center = option(arg2, "center")) {
                if (*center < 1) throw ScriptError("go(): 'center' is \"x\", \"y\" or \"both\"", "center");
                add(3, static_cast<float>(*center));
            }
        } else if (op == "reload") {
            action.code = ACT_ReloadScreen;
            add(0, static_cast<float>(option(arg1, "fade").value_or(0.0)));
            if (auto angle = option(arg1, "angle")) add(1, static_cast<float>(*angle));
        } else if (op == "set" || op == "toggle" || op == "copy") {
            action.code = ACT_SetVar;
            add(0, varAt(arg1));
            if (op == "set") {
                const float value = intAt(arg2, "a value");
                if (value < -128 || value > 255) throw ScriptError("set(): a variable holds -128 to 255", "set");
                add(1, value);
            } else if (op == "toggle") {
                add(2, 0.0f);
            } else {
                add(3, varAt(arg2));
            }
        } else if (op == "give" || op == "show") {
            action.code = op == "give" ? ACT_ActivateItem : ACT_ShowItem;
            add(0, static_cast<float>(ItemNamed(stringAt(arg1, "an item's name"))));
        } else if (op == "hide_cursor" || op == "hide_bar") {
            action.code = op == "hide_cursor" ? ACT_HideCursor : ACT_HideInventory;
            add(0, flag(arg1));
        } else if (op == "play") {
            action.code = ACT_PlaySound;
            Param path{0};
            path.path = SoundNamed(stringAt(arg1, "a sound's name"));
            action.params.push_back(path);
            const int at = argAt(arg2);
            std::optional<std::string> caption;
            if (lua_istable(c_L, at)) {
                lua_getfield(c_L, at, "caption");
                if (lua_type(c_L, -1) == LUA_TSTRING) caption = lua_tostring(c_L, -1);
                lua_pop(c_L, 1);
            }
            lua_pop(c_L, 1);
            if (caption) {
                Param lines{5};
                lines.lines = CaptionsNamed(*caption);
                action.params.push_back(lines);
            }
        } else if (op == "wait") {
            action.code = ACT_Wait;
            const float ms = intAt(arg1, "milliseconds");
            if (ms < 0) throw ScriptError("wait(): milliseconds cannot be negative", "wait");
            add(0, ms);
            if (option(arg2, "hide").value_or(0.0) != 0.0) {
                add(1, 1.0f);
                add(2, 1.0f);
            }
            if (auto render = option(arg2, "render")) add(4, static_cast<float>(*render));
        } else if (op == "video") {
            action.code = ACT_PlayVideo;
            const std::string name = stringAt(arg1, "a film's name");
            const auto film = c_films.find(name);
            if (film == c_films.end()) throw ScriptError("unknown film '" + name + "'", name);
            Param path{0};
            path.path = film->second.path;
            action.params.push_back(path);
            if (option(arg2, "pause_music").value_or(1.0) != 0.0) add(3, 1.0f);
            if (option(arg2, "full_screen").value_or(0.0) != 0.0) add(4, 1.0f);
            if (film->second.lines != nullptr) {
                Param lines{5};
                lines.lines = film->second.lines;
                action.params.push_back(lines);
            }
        } else if (op == "song") {
            action.code = ACT_PlaySong;
            const int at = argAt(arg1);
            const bool silence = lua_type(c_L, at) == LUA_TSTRING && std::string_view(lua_tostring(c_L, at)) == "silence";
            lua_pop(c_L, 1);
            add(0, silence ? static_cast<float>(kSilence) : intAt(arg1, "a song's number or \"silence\""));
            if (option(arg2, "restart").value_or(0.0) != 0.0) add(1, 1.0f);
        } else if (op == "click") {
            action.code = ACT_ClickArray;
            const Grid& grid = GridNamed(stringAt(arg1, "a grid's name"));
            const float x = intAt(arg2, "a column"), y = intAt(arg3, "a row");
            if (x < 0 || y < 0 || x >= grid.width || y >= grid.height) throw ScriptError("click(): the cell is outside the grid", "click");
            add(0, static_cast<float>(grid.number));
            add(1, x);
            add(2, y);
        } else if (op == "start_ambient") {
            action.code = ACT_StartRepetiveSound;
            const std::string name = stringAt(arg1, "an ambient sound's name");
            const auto ambient = c_ambients.find(name);
            if (ambient == c_ambients.end()) throw ScriptError("unknown ambient sound '" + name + "'", name);
            const float min = intAt(arg2, "the shortest interval (ms)"), max = intAt(arg3, "the longest interval (ms)");
            if (min < 0 || max < min) throw ScriptError("start_ambient(): the intervals must be 0 <= shortest <= longest", name);
            add(0, static_cast<float>(ambient->second));
            add(1, min);
            add(2, max);
        } else if (op == "drop") {
            action.code = ACT_DropItem;
        } else if (op == "end_game") {
            action.code = ACT_EndGame;
            if (option(arg1, "now").value_or(0.0) != 0.0) add(0, 1.0f);
        } else {
            throw ScriptError("unknown action '" + op + "'", op);
        }
        lua_pop(c_L, 1);
        pending.actions.push_back(std::move(action));
    }
    c_pending.push_back(std::move(pending));
}

// Every file has run: the screens named by actions get their numbers and the actions are made.
void WorldFilesLoader::Finish()
{
    for (const PendingList& pending : c_pending) {
        for (const Action& a : pending.actions) {
            WorldAction* action = pending.list->addAction(a.code);
            for (const Param& p : a.params) {
                if (!p.screen.empty()) {
                    const auto it = c_out.c_pScreens.find(p.screen);
                    if (it == c_out.c_pScreens.end()) {
                        const std::string text = LineOf(a.where.file, a.where.line);
                        const std::size_t column = text.find(p.screen);
                        throw Error(a.where.file + ":" + std::to_string(a.where.line) + ":" +
                                    std::to_string(column == std::string::npos ? 1 : column + 1) + ": unknown screen '" +
                                    p.screen + "'");
                    }
                    action->addParam(p.type, static_cast<float>(it->second));
                } else if (p.path != nullptr) {
                    action->addParamObject(p.type, p.path);
                } else if (p.lines != nullptr) {
                    action->addParamObject(p.type, p.lines);
                } else {
                    action->addParam(p.type, p.value);
                }
            }
        }
    }
    for (std::size_t i = 0; i < c_out.c_pClues.size(); ++i) {
        WorldFiles::Clue& clue = c_out.c_pClues[i];
        if (clue.screen.empty()) continue;
        const Where& at = c_clueCalls[i];
        const auto number = c_out.c_pScreens.find(clue.screen);
        if (number == c_out.c_pScreens.end()) {
            // The call may run over several lines: the screen's name is looked for below it too.
            int line = at.line;
            std::size_t column = std::string::npos;
            for (int below = 0; column == std::string::npos && below <= kCallLines; ++below) {
                column = LineOf(at.file, at.line + below).find(clue.screen);
                if (column != std::string::npos) line = at.line + below;
            }
            throw Error(at.file + ":" + std::to_string(line) + ":" +
                        std::to_string(column == std::string::npos ? 1 : column + 1) + ": clue '" + clue.name +
                        "': unknown screen '" + clue.screen + "'");
        }
        clue.screenNumber = number->second;
        // The picture as the world shows it (a book's pages share the scramble of its first).
        const WorldScreen* record = c_screenRecords.at(clue.screen);
        clue.image = record->get_BaseImage() != nullptr ? record->get_BaseImage() : "";
        clue.imageOffset = record->get_Offset();
    }
    ChooseCursors();
    if (c_out.c_pScreens.empty() || std::none_of(c_out.c_pScreens.begin(), c_out.c_pScreens.end(),
                                                 [](const auto& s) { return s.second == 0; }))
        throw Error("main.lua:1:1: the world has no screen number 0, where a new game starts");
    if (c_pWorld != nullptr) c_pWorld->TransportToScreen(0);
}

// A hotspot the files leave as "something reacts" shows the cursor of what a click on it does;
// one whose cursor the files name keeps it.
void WorldFilesLoader::ChooseCursors()
{
    std::map<int, const WorldScreen*> byNumber;
    for (const auto& [name, record] : c_screenRecords) byNumber[record->get_Number()] = record;
    const auto screen = [&byNumber](int number) -> const WorldScreen* {
        const auto it = byNumber.find(number);
        return it == byNumber.end() ? nullptr : it->second;
    };
    for (const auto& [number, record] : byNumber)
        for (int i = 0; i < record->get_HotspotCount(); ++i) {
            WorldHotspot* hotspot = record->GetHotspot(i);
            if (hotspot->get_Cursor() != WorldManager::kCursorReact || c_namedCursors.count(hotspot) != 0) continue;
            hotspot->set_Cursor(hotspot_cursor::ByAction(*hotspot, *record, screen));
        }
}

void WorldFilesLoader::Run()
{
    c_L = lua_newstate(&WorldFilesLoader::Allocate, this);
    if (c_L == nullptr) throw Error("cannot start the interpreter of the world files");
    // Only what a world needs: no files, no processes, no loading of code, no debug access.
    luaL_requiref(c_L, LUA_GNAME, luaopen_base, 1);
    luaL_requiref(c_L, LUA_STRLIBNAME, luaopen_string, 1);
    luaL_requiref(c_L, LUA_TABLIBNAME, luaopen_table, 1);
    luaL_requiref(c_L, LUA_MATHLIBNAME, luaopen_math, 1);
    lua_pop(c_L, 4);
    for (const char* name : {"dofile", "loadfile", "load", "require", "collectgarbage", "rawequal", "rawget", "rawset", "rawlen"}) {
        lua_pushnil(c_L);
        lua_setglobal(c_L, name);
    }
    lua_pushcfunction(c_L, &WorldFilesLoader::Print);
    lua_setglobal(c_L, "print");
    lua_getglobal(c_L, LUA_STRLIBNAME);
    lua_pushnil(c_L);
    lua_setfield(c_L, -2, "dump");
    lua_pop(c_L, 1);
    lua_sethook(c_L, &WorldFilesLoader::Hook, LUA_MASKCOUNT, kHookEvery);
    Register();
    RunFile("main.lua");
    Finish();
}

const WorldNote& WorldNote::operator[](const std::string& name) const
{
    static const WorldNote kNone;
    const auto it = table.find(name);
    return it == table.end() ? kNone : it->second;
}

namespace {

std::unique_ptr<WorldFiles> RunWorldFiles(WorldFiles* made, WorldManager* world, CreditsManager* credits,
                                          const std::filesystem::path& worldDir, const TextCatalogue& texts,
                                          const WorldFiles::Limits& limits);

}  // namespace

std::unique_ptr<WorldFiles> WorldFiles::Load(WorldManager& world, CreditsManager* credits,
                                             const std::filesystem::path& worldDir, const TextCatalogue& texts,
                                             const Limits& limits)
{
    return RunWorldFiles(new WorldFiles(), &world, credits, worldDir, texts, limits);
}

std::unique_ptr<WorldFiles> WorldFiles::Describe(const std::filesystem::path& worldDir, const TextCatalogue& texts,
                                                 const Limits& limits)
{
    return RunWorldFiles(new WorldFiles(), nullptr, nullptr, worldDir, texts, limits);
}

namespace {

std::unique_ptr<WorldFiles> RunWorldFiles(WorldFiles* made, WorldManager* world, CreditsManager* credits,
                                          const std::filesystem::path& worldDir, const TextCatalogue& texts,
                                          const WorldFiles::Limits& limits)
{
    std::unique_ptr<WorldFiles> files(made);
    WorldFilesLoader loader(*files, world, credits, worldDir, texts, limits);
    try {
        loader.Run();
    } catch (const Error& e) {
        throw Error((worldDir / e.what()).string());
    }
    return files;
}

}  // namespace
