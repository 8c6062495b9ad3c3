// The world checker: looks at a built world the way a designer would before shipping it.
// Every file it names exists and decodes; every screen, item, grid, song and ambient sound an
// action names exists; conditions reduce to one value; parameters have the kind their action
// reads; every screen can be reached from the new-game start (screen 0); every item used on a
// hotspot can be obtained. Read-only on the world; depends on the world records, display/
// (the scrambled reader) and platform/media (through FileProbe).
#pragma once

#include <set>
#include <string>
#include <vector>

class FileProbe;
class WorldAction;
class WorldFiles;
class WorldManager;
class WorldScreen;

enum class CheckRule {
    // faults: the world must not ship with these
    MissingFile,
    UndecodableFile,
    UnknownScreen,
    UnknownItem,
    UnknownGrid,
    UnknownSong,
    UnknownAmbientSound,
    CellOutsideGrid,
    MalformedCondition,
    ParameterKind,
    MissingParameter,
    UnknownActionCode,
    NoStartScreen,
    UnreachableScreen,
    UnreachableClue,  // a clue{} on a screen that no way leads to: the journal could never hold it
    ItemNeverGiven,
    WorldNotBuilt,
    WorldFileFault,  // the world files or the texts could not be read; where = file:line:col
    // warnings: worth a look, not wrong in themselves
    UnknownVariable,
    UnreadParameter,
    ShadowedScreen,
    BlockOutsidePicture,
    HotspotOutsidePicture,
    ItemUseWithoutItem,
    UnusedVariable,         // no condition reads it, no action sets it
    UnusedItem,             // never given, not carried at the start, never used on a hotspot
    HotspotWithoutActions,  // nothing happens when it is clicked or an item is used on it
};

// True for the rules whose findings make the check fail.
bool IsFault(CheckRule rule);
// A short name of the rule for reports ("missing file").
const char* RuleName(CheckRule rule);

struct CheckFinding {
    CheckRule rule;
    std::string where;  // "screen 12, hotspot 3, list 1, action 0 (ACT_GotoScreen)"
    std::string what;   // what is wrong, naming the value and what was expected
};

// A music track the game registers: its number (as ACT_PlaySong names it) and its file.
struct MusicTrack {
    int number;
    std::wstring path;
};

// The item numbers the inventory bar can hold.
constexpr int kFirstItemNumber = 1;
constexpr int kLastItemNumber = 8;

class WorldChecker {
public:
    // `world` is read, not changed (the variable list is only reachable through a non-const
    // accessor). Files are probed through `probe`. Neither is owned.
    WorldChecker(WorldManager& world, std::vector<MusicTrack> tracks, FileProbe& probe);

    // Runs every rule; findings grouped by rule family, in the order the records were added.
    std::vector<CheckFinding> Check();

    // After Check: the screens reachable from screen 0, and the items that can be obtained.
    const std::set<const WorldScreen*>& get_Reached() const { return c_pReached; }
    const std::set<int>& get_Obtainable() const { return c_pObtainable; }

private:
    void CheckTracks();
    void CheckScreens();
    void CheckScreenPictures(const WorldScreen& screen);
    void CheckHotspots(const WorldScreen& screen);
    void CheckItems();
    void CheckAmbientSounds();
    void CheckLists();
    void CheckAction(const std::string& where, const WorldAction& action);
    void CheckActionParameters(const std::string& where, const WorldAction& action);
    void CheckActionTargets(const std::string& where, const WorldAction& action);
    void CheckCondition(const std::string& where, const std::vector<int>& tokens);
    void CheckReachability();
    void Reach();
    void CollectGrids();
    int StripFrames(int variable) const;

    void Add(CheckRule rule, const std::string& where, const std::string& what);
    void CheckPicture(const std::string& where, const char* path, int offset);
    void CheckSound(const std::string& where, const wchar_t* path);
    const WorldScreen* FindScreen(int number) const;
    bool HasVariable(int number) const;
    bool HasItem(int number) const;
    bool HasAmbientSound(int number) const;

    WorldManager& c_pWorld;
    std::vector<MusicTrack> c_pTracks;
    FileProbe& c_pProbe;
    std::vector<CheckFinding> c_pFindings;
    std::set<const WorldScreen*> c_pReached;
    std::set<int> c_pObtainable;
    std::set<int> c_pGridNumbers;     // every grid number an action or a condition names
    std::set<std::string> c_pReportedFiles;  // each bad file is reported once, where first named
};

// Checks a condition's shape alone: empty when the tokens reduce to one value, else why not.
std::string ConditionShapeError(const std::vector<int>& tokens);

// The clues of `files` on screens outside `reached` (what WorldChecker::get_Reached gives for
// `world`), each a fault named by the clue's place in the files.
std::vector<CheckFinding> CheckClues(const WorldFiles& files, const WorldManager& world,
                                     const std::set<const WorldScreen*>& reached);
