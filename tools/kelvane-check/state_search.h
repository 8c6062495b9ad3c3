// The search of every state of the world a player can reach by clicks from a new game: each
// click (a hotspot, an item used on one, an item's close-up, a right click, a grid's cells set
// to one of the boards a condition asks for) is played through the world's own interpreter,
// rehearsing (nothing shown or played). States are told apart only by what a condition can
// tell: the screen, the items held and in the bar, the variables conditions read, and for each
// grid which of the comparisons conditions make of it hold. Finds dead ends (states from which
// the ending cannot be reached), everything never reached, and the shortest solution.
// Changes the world while it runs and puts its state back at the end; depends on the world
// records and the checker's walk of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class WorldFiles;
class WorldManager;

// The authors' names of screens, variables, grids and items, by number.
struct SearchNames {
    std::map<int, std::string> screens, variables, grids, items;
    // The names the world files gave (a number several screens bear keeps the first name).
    static SearchNames FromFiles(const WorldFiles& files);
    // The name, or "screen 12" (and so on) when the files gave none.
    std::string Screen(int number) const;
    std::string Variable(int number) const;
    std::string Grid(int number) const;
    std::string Item(int number) const;
};

// Something the search may find that the world's authors have explained, from the world
// files' note("search_allows", {{kind = ..., name = ..., reason = ...}, ...}). `kind` is one of
// the kinds of SearchUnreached or "dead end"; `name` is the name the search reports.
struct SearchAllowance {
    std::string kind;
    std::string name;
    std::string reason;
    std::string where;  // file:line of the note
};
std::vector<SearchAllowance> SearchAllowancesFromFiles(const WorldFiles& files);

// One step of a route: what the player does, in the words of a replay script.
struct SearchStep {
    std::vector<std::string> commands;  // replay commands ("pick 512 260", "hold 3", ...)
    int clicks = 0;
    int screenAfter = 0;  // the screen shown once it is done
};

// A way into a state from which the ending can no longer be reached.
struct SearchDeadEnd {
    std::string cause;             // the click that leads there, by its place and names
    std::string screen;            // where the player then stands
    int clicks = 0;                // the length of the shortest route in
    std::size_t ways = 0;          // how many reached states this same click leads into dead ends from
    std::vector<SearchStep> route;  // the shortest route in, from the new game
    std::string allowedBecause;    // the allow-list's reason, or empty
};

// Something no reachable state shows or runs.
struct SearchUnreached {
    std::string kind;  // "screen", "entry list", "hotspot list", "item use", "overlay",
                       // "picture version", "film"
    std::string name;  // "screen cistern_valve, hotspot 2, list 0" and the like
    std::string allowedBecause;
};

// A goal of the story: a variable holding a value that a condition asks for, or a grid set to
// a board a condition asks for.
struct SearchGoal {
    std::string name;          // "tide = 3", "cabinet_wheels set (total 123)"
    bool reached = false;
    std::vector<int> needs;  // the goals every route to this one passes first (indices)
};

struct SearchResult {
    std::size_t states = 0;
    std::size_t moves = 0;  // transitions played
    double seconds = 0.0;
    bool complete = true;           // false when the state limit stopped the search
    bool endingReachable = false;   // from the new game
    std::vector<SearchStep> solution;  // the shortest route to the credits (empty: none)
    int solutionClicks = 0;
    std::vector<SearchDeadEnd> deadEnds;
    std::vector<SearchUnreached> unreached;
    // Hotspots a player can click, empty-handed, in some reached state where none of their
    // click lists runs (or that have none): the click does nothing and says nothing (kind
    // "silent refusal").
    std::vector<SearchUnreached> silent;
    std::vector<std::string> errors;  // clicks whose actions raised an error, with the message
    std::vector<SearchGoal> goals;
    std::vector<int> endingNeeds;  // the goals every route to the ending passes
    std::vector<SearchAllowance> unusedAllowances;  // allowances that excuse nothing found
    // Dead ends, unreached things and silent refusals the allow-list does not excuse, and errors.
    std::size_t Faults() const;
};

// The replay script of a route from the main menu's new game (the format of tests/game/*.txt,
// played by kelvane-replay), with `title` as its opening comment and, when `toCredits`, a
// closing check that the credits are shown.
std::string FormatReplayScript(const std::vector<SearchStep>& route, const std::string& title, bool toCredits,
                               int startScreen);
// The findings in lines a person reads: figures, dead ends with their routes, unreached things.
std::string FormatSearchReport(const SearchResult& result);

class StateSearch {
public:
    static constexpr std::size_t kDefaultStateLimit = 2'000'000;
    // The seed the replay harness gives the random generator unless told otherwise: a world
    // searched after std::srand(kReplaySeed) has the set-up a replay of its routes will have.
    static constexpr unsigned kReplaySeed = 1000;

    // `world` (not owned) must be built and not yet entered, as the world files leave it.
    StateSearch(WorldManager& world, SearchNames names, std::vector<SearchAllowance> allowances);

    // Searches from the new game (the recorded screen entered, its entry lists run).
    SearchResult Run(std::size_t stateLimit = kDefaultStateLimit);

    // The screen the new game settles on (after the opening's entry lists), after Run.
    int get_StartScreen() const { return c_iStartScreen; }

private:
    WorldManager& c_world;
    SearchNames c_names;
    std::vector<SearchAllowance> c_allowances;
    int c_iStartScreen = 0;
};
