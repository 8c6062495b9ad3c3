#include "state_search.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <exception>
#include <functional>
#include <limits>
#include <optional>
#include <set>
#include <sstream>
#include <unordered_map>

#include "display/world_inventory.h"
#include "display/world_item.h"
#include "script/world_files.h"
#include "world/action_codes.h"
#include "world/condition_codes.h"
#include "world/condition_evaluator.h"
#include "world/world_manager.h"
#include "world_walk.h"

namespace {

// ---- what conditions ask ----

bool IsComparison(int code) { return code == CT_Equal || code == CT_Greater || code == CT_Less || code == CT_NotEqual; }

// The comparison read from the other side: "3 < x" is "x > 3".
int Mirrored(int op)
{
    if (op == CT_Greater) return CT_Less;
    if (op == CT_Less) return CT_Greater;
    return op;
}

bool Compare(int op, int a, int b)
{
    switch (op) {
    case CT_Equal: return a == b;
    case CT_Greater: return a > b;
    case CT_Less: return a < b;
    case CT_NotEqual: return a != b;
    default: return false;
    }
}

// One comparison a condition makes of an operand with a literal: "operand op value".
struct Comparison {
    int op;
    int value;
    bool operator<(const Comparison& o) const { return op != o.op ? op < o.op : value < o.value; }
};

// Everything the world's conditions read.
struct ConditionReads {
    std::set<int> variables;                            // CT_Var operands
    std::map<int, std::set<Comparison>> variableTests;  // by variable: the literals it is compared with
    std::map<int, std::set<Comparison>> gridTotals;     // by grid: comparisons of its total
    std::set<int> gridsAllChecked;                      // grids whose "every cell set" is read

    void Scan(const std::vector<int>& tokens)
    {
        struct Item {
            bool operand;
            int code;
            int argument;
        };
        std::vector<Item> items;
        for (std::size_t i = 0; i < tokens.size();) {
            if (IsConditionOperand(tokens[i]) && i + 1 < tokens.size()) {
                items.push_back({true, tokens[i], tokens[i + 1]});
                i += 2;
            } else {
                items.push_back({false, tokens[i], 0});
                i += 1;
            }
        }
        for (std::size_t j = 0; j < items.size(); ++j) {
            const Item& it = items[j];
            if (!it.operand) continue;
            if (it.code == CT_Var) variables.insert(it.argument);
            if (it.code == CT_ArrayAllChecked || it.code == CT_ArrayNotAllChecked) gridsAllChecked.insert(it.argument);
            if (it.code != CT_Var && it.code != CT_ArrayTotal) continue;
            std::optional<Comparison> test;
            if (j + 2 < items.size() && !items[j + 1].operand && IsComparison(items[j + 1].code) &&
                items[j + 2].operand && items[j + 2].code == CT_Value) {
                test = Comparison{items[j + 1].code, items[j + 2].argument};
            } else if (j >= 2 && !items[j - 1].operand && IsComparison(items[j - 1].code) && items[j - 2].operand &&
                       items[j - 2].code == CT_Value) {
                test = Comparison{Mirrored(items[j - 1].code), items[j - 2].argument};
            }
            if (!test) continue;
            if (it.code == CT_Var) variableTests[it.argument].insert(*test);
            else gridTotals[it.argument].insert(*test);
        }
    }
};

ConditionReads ReadConditions(const WorldManager& world, std::set<int>* copiedVariables)
{
    ConditionReads reads;
    for (const auto& screen : world.get_Screens()) {
        for (int h = 0; h < screen->get_HotspotCount(); ++h) reads.Scan(screen->GetHotspot(h)->get_Conditions());
        for (int o = 0; o < screen->get_OverlayCount(); ++o) reads.Scan(screen->GetOverlay(o)->get_Conditions());
    }
    ForEachListSite(world, [&](const ListSite& site) {
        reads.Scan(site.list->get_Conditions());
        // A variable copied into another (set type 3) decides what the copy will hold.
        for (int a = 0; a < site.list->get_ActionNumber(); ++a) {
            const WorldAction& action = *site.list->getAction(a);
            if (action.get_Type() != ACT_SetVar) continue;
            if (const std::optional<int> from = NumberParam(action, 3)) copiedVariables->insert(*from);
        }
    });
    return reads;
}

// ---- boards ----

// A board a condition asks for: every cell's value, row by row.
struct BoardTarget {
    std::vector<int> cells;
    std::string name;
};

struct GridModel {
    WorldGlobalVarArray* grid = nullptr;
    std::vector<std::size_t> cellVars;   // index in the world's variable list of each cell, row by row
    std::vector<Comparison> totals;      // what conditions compare its total with
    bool allChecked = false;             // whether a condition reads "every cell set"
    std::vector<BoardTarget> targets;    // the boards those comparisons ask for
    int modulus = 1;                     // values a cell takes
    // Where its keys are. A grid that only conditions on those screens read is told apart
    // there alone: elsewhere its board is not seen, and back at its keys any board it could
    // show then can be set again.
    std::set<const WorldScreen*> keyScreens;
    bool local = false;
};

// Whether a condition reads grid `number`.
bool ReadsGrid(const std::vector<int>& tokens, int number)
{
    for (std::size_t i = 0; i + 1 < tokens.size();) {
        if (!IsConditionOperand(tokens[i])) {
            ++i;
            continue;
        }
        if ((tokens[i] == CT_ArrayTotal || tokens[i] == CT_ArrayAllChecked || tokens[i] == CT_ArrayNotAllChecked) &&
            tokens[i + 1] == number)
            return true;
        i += 2;
    }
    return false;
}

// Cell values of total `total` in base `modulus`, cell (0, 0) least significant; nothing when
// the board cannot show it.
std::optional<std::vector<int>> BoardOfTotal(int total, int modulus, std::size_t cells)
{
    if (total < 0) return std::nullopt;
    std::vector<int> board(cells, 0);
    long long rest = total;
    for (std::size_t i = 0; i < cells && rest > 0; ++i) {
        board[i] = static_cast<int>(rest % modulus);
        rest /= modulus;
    }
    if (rest != 0) return std::nullopt;
    return board;
}

bool IsPrime(int n)
{
    if (n < 2) return false;
    for (int d = 2; d * d <= n; ++d)
        if (n % d == 0) return false;
    return true;
}

int Inverse(int a, int p)
{
    for (int x = 1; x < p; ++x)
        if (a * x % p == 1) return x;
    return 0;
}

// How many times to click each key (column k of `effect`: what one click of key k adds to each
// cell, modulo `modulus`) to add `change` to the board; nothing when no number of clicks does.
std::optional<std::vector<int>> SolveClicks(const std::vector<std::vector<int>>& effect, std::vector<int> change,
                                            int modulus)
{
    const std::size_t cells = change.size();
    const std::size_t keys = effect.size();
    bool separate = true;  // each key changes its own cell only
    std::vector<int> keyOfCell(cells, -1);
    for (std::size_t k = 0; k < keys && separate; ++k) {
        int touched = -1;
        for (std::size_t c = 0; c < cells; ++c) {
            if (effect[k][c] == 0) continue;
            if (touched >= 0 || effect[k][c] != 1) separate = false;
            touched = static_cast<int>(c);
        }
        if (touched < 0 || keyOfCell[static_cast<std::size_t>(touched)] >= 0) separate = false;
        else keyOfCell[static_cast<std::size_t>(touched)] = static_cast<int>(k);
    }
    std::vector<int> clicks(keys, 0);
    if (separate) {
        for (std::size_t c = 0; c < cells; ++c) {
            const int need = ((change[c] % modulus) + modulus) % modulus;
            if (need == 0) continue;
            if (keyOfCell[c] < 0) return std::nullopt;
            clicks[static_cast<std::size_t>(keyOfCell[c])] = need;
        }
        return clicks;
    }
    if (!IsPrime(modulus)) return std::nullopt;
    // Gauss-Jordan elimination over the integers modulo a prime.
    const int p = modulus;
    std::vector<std::vector<int>> rows(cells, std::vector<int>(keys + 1, 0));
    for (std::size_t c = 0; c < cells; ++c) {
        for (std::size_t k = 0; k < keys; ++k) rows[c][k] = ((effect[k][c] % p) + p) % p;
        rows[c][keys] = ((change[c] % p) + p) % p;
    }
    std::vector<int> pivotOf(keys, -1);
    std::size_t row = 0;
    for (std::size_t k = 0; k < keys && row < cells; ++k) {
        std::size_t found = row;
        while (found < cells && rows[found][k] == 0) ++found;
        if (found == cells) continue;
        std::swap(rows[row], rows[found]);
        const int inv = Inverse(rows[row][k], p);
        for (int& v : rows[row]) v = v * inv % p;
        for (std::size_t r = 0; r < cells; ++r) {
            if (r == row || rows[r][k] == 0) continue;
            const int f = rows[r][k];
            for (std::size_t i = 0; i <= keys; ++i) rows[r][i] = ((rows[r][i] - f * rows[row][i]) % p + p) % p;
        }
        pivotOf[k] = static_cast<int>(row);
        ++row;
    }
    for (std::size_t r = row; r < cells; ++r)
        if (rows[r][keys] != 0) return std::nullopt;  // the keys cannot make this board
    for (std::size_t k = 0; k < keys; ++k)
        if (pivotOf[k] >= 0) clicks[k] = rows[static_cast<std::size_t>(pivotOf[k])][keys];
    return clicks;
}

// ---- moves ----

struct Rect {
    int x1, y1, x2, y2;
    bool Contains(int x, int y) const { return x1 <= x && x <= x2 && y1 <= y && y <= y2; }
};

// The middle of the largest part of `r` that no rectangle of `above` covers; nothing when
// they cover all of it.
std::optional<std::pair<int, int>> FreePoint(const Rect& r, const std::vector<Rect>& above)
{
    if (r.x2 < r.x1 || r.y2 < r.y1) return std::nullopt;
    std::vector<int> xs{r.x1, r.x2 + 1}, ys{r.y1, r.y2 + 1};
    for (const Rect& a : above) {
        if (a.x2 < r.x1 || a.x1 > r.x2 || a.y2 < r.y1 || a.y1 > r.y2) continue;
        for (int x : {a.x1, a.x2 + 1})
            if (x > r.x1 && x <= r.x2) xs.push_back(x);
        for (int y : {a.y1, a.y2 + 1})
            if (y > r.y1 && y <= r.y2) ys.push_back(y);
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::optional<std::pair<int, int>> best;
    long long bestArea = 0;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
            const int cx = (xs[i] + xs[i + 1] - 1) / 2;
            const int cy = (ys[j] + ys[j + 1] - 1) / 2;
            if (std::any_of(above.begin(), above.end(), [&](const Rect& a) { return a.Contains(cx, cy); })) continue;
            const long long area = static_cast<long long>(xs[i + 1] - xs[i]) * (ys[j + 1] - ys[j]);
            if (area > bestArea) {
                bestArea = area;
                best = std::make_pair(cx, cy);
            }
        }
    }
    return best;
}

bool HasList(const WorldHotspot& hotspot, bool type, int number)
{
    for (int i = 0; i < hotspot.get_ActionlistCount(); ++i) {
        const WorldActionlist* list = hotspot.GetActionlist(i);
        if (list->get_Type() == type && list->get_Number() == number) return true;
    }
    return false;
}

// A hotspot a click can reach now, and the picture point that reaches it.
struct Clickable {
    const WorldHotspot* hotspot;
    int index;
    int x, y;
};

// The cell a code key advances: (grid, column, row), as the interpreter reads its click.
std::optional<std::tuple<int, int, int>> KeyCell(const WorldHotspot& hotspot)
{
    std::vector<WorldActionlist*> lists;
    hotspot.getActionlist(true, 0, lists);
    for (const WorldActionlist* list : lists) {
        for (int a = 0; a < list->get_ActionNumber(); ++a) {
            const WorldAction& action = *list->getAction(a);
            if (action.get_Type() != ACT_ClickArray) continue;
            return std::make_tuple(NumberParam(action, 0).value_or(0), NumberParam(action, 1).value_or(1),
                                   NumberParam(action, 2).value_or(1));
        }
    }
    return std::nullopt;
}

struct Move {
    enum Kind { Click, Use, Examine, RightClick, Board } kind;
    int clickable = -1;  // Click, Use: index among the screen's clickable hotspots
    int item = 0;        // Use, Examine
    int grid = -1;       // Board: index among the grid models
    int target = -1;     // Board: index among its targets
};

constexpr int kPutBackX = 400, kPutBackY = 300;  // a right click in the middle of the view
constexpr std::uint32_t kNone = 0xFFFFFFFFu;
// A state's key begins with where the player is (the screen, the close-up, where it returns
// to, its item); the rest is the story.
constexpr std::size_t kPlaceBytes = 4 * sizeof(int);

// Records what the interpreter enters and runs.
class Observer : public WorldManager::Watcher {
public:
    void ScreenEntered(int number) override { screens.insert(number); }
    void ListRun(const WorldActionlist& list) override { lists.insert(&list); }
    std::set<int> screens;
    std::set<const WorldActionlist*> lists;
};

std::string Narrow(const wchar_t* text)
{
    std::string out;
    for (const wchar_t* c = text; c != nullptr && *c != 0; ++c) out += static_cast<char>(*c);
    return out;
}

// The search's working state; one per Run.
class Searcher {
public:
    Searcher(WorldManager& world, const SearchNames& names, std::size_t limit)
        : c_world(world), c_names(names), c_limit(limit)
    {
    }
    void Prepare();
    void Explore(const WorldManager::PlayState& start);
    void Report(SearchResult& result);
    WorldManager::Watcher* get_Observer() { return &c_observer; }

private:
    struct Node {
        WorldManager::PlayState play;
        std::uint32_t parent = kNone;
        SearchStep step;          // how the parent's state led here
        std::string cause;        // that step by its place and names
        int cost = 0;
        bool expanded = false;
        bool goal = false;
        std::vector<std::uint32_t> next;
        std::vector<std::uint64_t> goals;  // which story goals hold
    };

    std::string Key() const;
    // Whether the close-up shown now only shows things: every state reachable from it keeps
    // the story of `standing` (the key of the state it was opened from) and a close-up,
    // except the way back into `standing` itself.
    bool ReadingOnly(const std::string& standing);
    std::vector<std::uint64_t> GoalsHeld() const;
    std::vector<Clickable> Clickables() const;
    // Notes each clickable hotspot of which no click list would run now.
    void NoteSilent(const std::vector<Clickable>& clickables, const WorldManager::PlayState& here);
    std::vector<Move> Moves(const std::vector<Clickable>& clickables) const;
    bool Play(const Move& move, const std::vector<Clickable>& clickables, SearchStep* step);
    bool PlayBoard(const Move& move, const std::vector<Clickable>& clickables, SearchStep* step);
    std::string Describe(const WorldManager::PlayState& s, const Move& move, const std::vector<Clickable>& clickables) const;
    void NoteShown();
    std::vector<SearchStep> Route(std::uint32_t node) const;
    std::vector<bool> Reachable(const std::function<bool(std::uint32_t)>& avoid) const;

    WorldManager& c_world;
    const SearchNames& c_names;
    std::size_t c_limit;
    bool c_complete = true;
    std::size_t c_moves = 0;
    std::unordered_map<const WorldScreen*, int> c_screenIndex;
    std::vector<std::size_t> c_keyVars;  // variable-list indices of the variables states differ in
    std::vector<GridModel> c_grids;
    struct Goal {
        std::string name;
        std::function<bool()> holds;  // on the world as it stands
    };
    std::vector<Goal> c_goals;
    std::vector<Node> c_nodes;
    std::unordered_map<std::string, std::uint32_t> c_index;
    std::map<std::pair<int, std::vector<int>>, std::vector<std::vector<int>>> c_effects;  // by grid and keys
    std::set<const WorldOverlay*> c_overlaysShown;
    std::set<const WorldOverwriteBaseImage*> c_versionsShown;
    std::vector<std::string> c_errors;
    std::set<std::pair<int, int>> c_silent;  // (screen, hotspot index)
    std::unordered_map<std::string, bool> c_readingOnly;  // by item and story: ReadingOnly
    Observer c_observer;
};

// Where variable `number` (the one the interpreter finds) is in the world's list; the list's
// size when the world has no variables.
std::size_t VarIndex(WorldManager& world, int number)
{
    const WorldGlobalVar* var = world.getGlobalVar(number);
    auto& vars = world.get_GlobalVars();
    for (std::size_t i = 0; i < vars.size(); ++i)
        if (vars[i].get() == var) return i;
    return vars.size();
}

void Searcher::Prepare()
{
    for (std::size_t i = 0; i < c_world.get_Screens().size(); ++i) c_screenIndex[c_world.get_Screens()[i].get()] = static_cast<int>(i);
    std::set<int> copied;
    const ConditionReads reads = ReadConditions(c_world, &copied);
    std::set<std::size_t> keyVars;
    for (int number : reads.variables) keyVars.insert(VarIndex(c_world, number));
    for (int number : copied) keyVars.insert(VarIndex(c_world, number));
    keyVars.erase(c_world.get_GlobalVars().size());  // a variable no record has
    c_keyVars.assign(keyVars.begin(), keyVars.end());

    for (const auto& grid : c_world.get_GlobalVarArrays()) {
        const bool totals = reads.gridTotals.count(grid->get_Number()) != 0;
        const bool all = reads.gridsAllChecked.count(grid->get_Number()) != 0;
        if (!totals && !all) continue;
        GridModel model;
        model.grid = grid.get();
        model.modulus = grid->get_NumberMax() + 1;
        for (int c = 0; c < grid->get_Width() * grid->get_Height(); ++c)
            model.cellVars.push_back(VarIndex(c_world, grid->get_Start() + c));
        model.allChecked = all;
        const std::string name = c_names.Grid(grid->get_Number());
        if (totals) {
            for (const Comparison& test : reads.gridTotals.at(grid->get_Number())) {
                model.totals.push_back(test);
                if (test.op != CT_Equal && test.op != CT_NotEqual) continue;
                const std::optional<std::vector<int>> board = BoardOfTotal(test.value, model.modulus, model.cellVars.size());
                if (board) model.targets.push_back({*board, name + " set to " + std::to_string(test.value)});
            }
        }
        if (all) model.targets.push_back({std::vector<int>(model.cellVars.size(), 1), name + " all set"});
        std::set<const WorldScreen*> readAt;
        for (const auto& screen : c_world.get_Screens()) {
            for (int h = 0; h < screen->get_HotspotCount(); ++h) {
                const auto cell = KeyCell(*screen->GetHotspot(h));
                if (cell && std::get<0>(*cell) == grid->get_Number()) model.keyScreens.insert(screen.get());
                if (ReadsGrid(screen->GetHotspot(h)->get_Conditions(), grid->get_Number())) readAt.insert(screen.get());
            }
        }
        ForEachListSite(c_world, [&](const ListSite& site) {
            if (ReadsGrid(site.list->get_Conditions(), grid->get_Number())) readAt.insert(site.screen);
        });
        model.local = !model.keyScreens.empty() &&
                      std::includes(model.keyScreens.begin(), model.keyScreens.end(), readAt.begin(), readAt.end());
        c_grids.push_back(std::move(model));
    }

    // The story's goals: the values conditions ask variables for, and the boards they ask grids for.
    for (const auto& [number, tests] : reads.variableTests) {
        const std::size_t index = VarIndex(c_world, number);
        if (index >= c_world.get_GlobalVars().size()) continue;
        for (const Comparison& test : tests) {
            if (test.op != CT_Equal) continue;
            const int value = test.value;
            c_goals.push_back({c_names.Variable(number) + " = " + std::to_string(value), [this, index, value] {
                                   return static_cast<signed char>(c_world.get_GlobalVars()[index]->get_Value()) == value;
                               }});
        }
    }
    // And the items some hotspot takes: having one is a goal of its own.
    std::set<int> usedItems;
    ForEachListSite(c_world, [&](const ListSite& site) {
        if (!site.list->get_Type()) usedItems.insert(site.list->get_Number());
    });
    for (int item : usedItems) {
        c_goals.push_back({"has " + c_names.Item(item), [this, item] {
                               if (c_world.get_CursorItem() == item) return true;
                               const auto& row = c_world.get_Inventory()->get_ActiveItems();
                               return std::any_of(row.begin(), row.end(), [item](const WorldItem* i) { return i->get_Number() == item; });
                           }});
    }
    for (std::size_t g = 0; g < c_grids.size(); ++g) {
        for (std::size_t t = 0; t < c_grids[g].targets.size(); ++t) {
            const bool all = c_grids[g].allChecked && t + 1 == c_grids[g].targets.size();
            c_goals.push_back({c_grids[g].targets[t].name, [this, g, t, all] {
                                   const GridModel& m = c_grids[g];
                                   if (all) return m.grid->get_AllChecked();
                                   const auto& vars = c_world.get_GlobalVars();
                                   for (std::size_t c = 0; c < m.cellVars.size(); ++c)
                                       if (vars[m.cellVars[c]]->get_Value() != m.targets[t].cells[c]) return false;
                                   return true;
                               }});
        }
    }
}

std::string Searcher::Key() const
{
    const WorldManager::PlayState s = c_world.SavePlayState();
    std::string key;
    const auto put = [&key](int v) { key.append(reinterpret_cast<const char*>(&v), sizeof v); };
    put(s.screen != nullptr ? c_screenIndex.at(s.screen) : -1);
    put(s.closeUp ? 1 : 0);
    put(s.closeUp && s.closeUpReturn != nullptr ? c_screenIndex.at(s.closeUpReturn) : -1);
    put(s.closeUp ? s.closeUpItem : 0);
    put(s.heldItem);
    put((s.hideInventory ? 1 : 0) | (s.endGameMode ? 2 : 0) | (s.creditsDue ? 4 : 0));
    std::vector<int> bar = s.bar;
    std::sort(bar.begin(), bar.end());
    put(static_cast<int>(bar.size()));
    for (int item : bar) put(item);
    for (std::size_t index : c_keyVars) key += static_cast<char>(s.vars[index]);
    // A grid is known by which comparisons of it hold, not by its cells.
    for (const GridModel& m : c_grids) {
        if (m.local && !m.keyScreens.count(s.screen)) {
            key += '-';
            continue;
        }
        const int total = m.grid->get_Total();
        for (const Comparison& test : m.totals) key += Compare(test.op, total, test.value) ? '1' : '0';
        if (m.allChecked) key += m.grid->get_AllChecked() ? '1' : '0';
    }
    return key;
}

std::vector<std::uint64_t> Searcher::GoalsHeld() const
{
    std::vector<std::uint64_t> bits((c_goals.size() + 63) / 64, 0);
    for (std::size_t g = 0; g < c_goals.size(); ++g)
        if (c_goals[g].holds()) bits[g / 64] |= std::uint64_t{1} << (g % 64);
    return bits;
}

std::vector<Clickable> Searcher::Clickables() const
{
    std::vector<Clickable> out;
    const WorldScreen* screen = c_world.get_Screen();
    if (screen == nullptr) return out;
    std::vector<Rect> above;
    for (int i = 0; i < screen->get_HotspotCount(); ++i) {
        const WorldHotspot* hotspot = screen->GetHotspot(i);
        if (!c_world.TestConditionList(hotspot)) continue;
        const Rect r{hotspot->get_X1(), hotspot->get_Y1(), hotspot->get_X2(), hotspot->get_Y2()};
        if (const auto point = FreePoint(r, above)) out.push_back({hotspot, i, point->first, point->second});
        above.push_back(r);
    }
    return out;
}

void Searcher::NoteSilent(const std::vector<Clickable>& clickables, const WorldManager::PlayState& here)
{
    for (const Clickable& c : clickables) {
        std::vector<WorldActionlist*> lists;
        c.hotspot->getActionlist(true, 0, lists);
        if (c_silent.count({here.screenPosition, c.index})) continue;
        // The lists are tested as a click tests them, each just before it would run; none of
        // them changes what the next one tests when none runs. A hotspot that only takes items
        // does nothing for an empty hand either.
        if (std::none_of(lists.begin(), lists.end(), [this](const WorldActionlist* l) { return c_world.TestConditionList(l); }))
            c_silent.insert({here.screenPosition, c.index});
    }
}

std::vector<Move> Searcher::Moves(const std::vector<Clickable>& clickables) const
{
    const WorldManager::PlayState s = c_world.SavePlayState();
    std::vector<Move> moves;
    const bool barOpen = !s.closeUp && !s.hideInventory;
    for (std::size_t c = 0; c < clickables.size(); ++c) {
        const WorldHotspot& hotspot = *clickables[c].hotspot;
        const int index = static_cast<int>(c);
        if (HasList(hotspot, s.heldItem == 0, s.heldItem)) moves.push_back({Move::Click, index});
        if (s.heldItem != 0 || !barOpen) continue;
        for (int item : s.bar)
            if (HasList(hotspot, false, item)) moves.push_back({Move::Use, index, item});
    }
    if (barOpen && s.heldItem == 0)
        for (int item : s.bar) moves.push_back({Move::Examine, -1, item});
    if (s.closeUp || s.heldItem != 0) moves.push_back({Move::RightClick});
    if (s.heldItem == 0) {
        for (std::size_t g = 0; g < c_grids.size(); ++g) {
            const bool keys = std::any_of(clickables.begin(), clickables.end(), [&](const Clickable& k) {
                const auto cell = KeyCell(*k.hotspot);
                return cell && std::get<0>(*cell) == c_grids[g].grid->get_Number();
            });
            if (!keys) continue;
            for (std::size_t t = 0; t < c_grids[g].targets.size(); ++t)
                moves.push_back({Move::Board, -1, 0, static_cast<int>(g), static_cast<int>(t)});
        }
    }
    return moves;
}

std::string Searcher::Describe(const WorldManager::PlayState& s, const Move& move,
                               const std::vector<Clickable>& clickables) const
{
    std::string where = "screen " + c_names.Screen(s.screenPosition);
    switch (move.kind) {
    case Move::Click:
        return where + ", hotspot " + std::to_string(clickables[static_cast<std::size_t>(move.clickable)].index) +
               (s.heldItem != 0 ? ", holding " + c_names.Item(s.heldItem) : std::string(", clicked"));
    case Move::Use:
        return where + ", hotspot " + std::to_string(clickables[static_cast<std::size_t>(move.clickable)].index) +
               ", " + c_names.Item(move.item) + " used on it";
    case Move::Examine: return where + ", " + c_names.Item(move.item) + " examined";
    case Move::RightClick: return where + ", right click";
    case Move::Board:
        return where + ", " + c_grids[static_cast<std::size_t>(move.grid)].targets[static_cast<std::size_t>(move.target)].name;
    }
    return where;
}

std::string Pick(int x, int y) { return "pick " + std::to_string(x) + " " + std::to_string(y); }

bool Searcher::Play(const Move& move, const std::vector<Clickable>& clickables, SearchStep* step)
{
    const auto clickAt = [&](const Clickable& c) {
        step->commands.push_back(Pick(c.x, c.y));
        ++step->clicks;
        c_world.ClickPicture(c.x, c.y);
    };
    switch (move.kind) {
    case Move::Click: clickAt(clickables[static_cast<std::size_t>(move.clickable)]); return true;
    case Move::Use:
        if (!c_world.ClickBarItem(move.item)) return false;
        step->commands.push_back("hold " + std::to_string(move.item));
        ++step->clicks;
        clickAt(clickables[static_cast<std::size_t>(move.clickable)]);
        if (c_world.get_CursorItem() != 0) {
            // Kept in hand, it goes back to the bar with a right click.
            step->commands.push_back("rclick " + std::to_string(kPutBackX) + " " + std::to_string(kPutBackY));
            ++step->clicks;
            c_world.RightClick();
        }
        return true;
    case Move::Examine: {
        const std::string standing = Key();
        if (!c_world.ExamineBarItem(move.item)) return false;
        step->commands.push_back("examine " + std::to_string(move.item));
        ++step->clicks;
        if (!c_world.SavePlayState().closeUp) return true;
        // A close-up (or a book) that only shows things and leads back where it was opened
        // from adds nothing to the world's states: it is read once for each state of the
        // story, and the look is not a move. Without that, every place would have a state for
        // each page of each book in the bar.
        const std::string memo = std::to_string(move.item) + ":" + standing.substr(kPlaceBytes);
        auto known = c_readingOnly.find(memo);
        if (known == c_readingOnly.end()) known = c_readingOnly.emplace(memo, ReadingOnly(standing)).first;
        return !known->second;
    }
    case Move::RightClick:
        step->commands.push_back("rclick " + std::to_string(kPutBackX) + " " + std::to_string(kPutBackY));
        ++step->clicks;
        c_world.RightClick();
        return true;
    case Move::Board: return PlayBoard(move, clickables, step);
    }
    return false;
}

bool Searcher::PlayBoard(const Move& move, const std::vector<Clickable>& clickables, SearchStep* step)
{
    const GridModel& model = c_grids[static_cast<std::size_t>(move.grid)];
    const BoardTarget& target = model.targets[static_cast<std::size_t>(move.target)];
    const int number = model.grid->get_Number();
    // The keys of this grid that can be clicked now, one per cell.
    std::vector<const Clickable*> keys;
    std::vector<int> keyCells;
    for (const Clickable& c : clickables) {
        const auto cell = KeyCell(*c.hotspot);
        if (!cell || std::get<0>(*cell) != number) continue;
        const int index = std::get<1>(*cell) + std::get<2>(*cell) * model.grid->get_Width();
        if (std::find(keyCells.begin(), keyCells.end(), index) != keyCells.end()) continue;
        keys.push_back(&c);
        keyCells.push_back(index);
    }
    auto& vars = c_world.get_GlobalVars();
    const auto board = [&] {
        std::vector<int> cells;
        for (std::size_t v : model.cellVars) cells.push_back(vars[v]->get_Value());
        return cells;
    };
    // What one click of each key does to the board, measured on the grid itself.
    auto found = c_effects.find({move.grid, keyCells});
    if (found == c_effects.end()) {
        std::vector<std::vector<int>> effect;
        for (int cell : keyCells) {
            const std::vector<int> before = board();
            model.grid->Click(cell % model.grid->get_Width(), cell / model.grid->get_Width());
            const std::vector<int> after = board();
            std::vector<int> delta(before.size());
            for (std::size_t c = 0; c < before.size(); ++c) delta[c] = ((after[c] - before[c]) % model.modulus + model.modulus) % model.modulus;
            for (std::size_t c = 0; c < before.size(); ++c) vars[model.cellVars[c]]->set_Value(static_cast<unsigned char>(before[c]));
            effect.push_back(std::move(delta));
        }
        found = c_effects.emplace(std::make_pair(move.grid, keyCells), std::move(effect)).first;
    }
    const std::vector<int> now = board();
    std::vector<int> change(now.size());
    for (std::size_t c = 0; c < now.size(); ++c) change[c] = target.cells[c] - now[c];
    if (std::all_of(change.begin(), change.end(), [](int d) { return d == 0; })) return false;
    const std::optional<std::vector<int>> clicks = SolveClicks(found->second, change, model.modulus);
    if (!clicks) return false;  // these keys cannot set that board from this one
    const WorldScreen* screen = c_world.get_Screen();
    for (std::size_t k = 0; k < keys.size(); ++k) {
        for (int n = 0; n < (*clicks)[k]; ++n) {
            // A click that takes the player elsewhere ends the setting where it is.
            if (c_world.get_Screen() != screen || !c_world.TestConditionList(keys[k]->hotspot)) return step->clicks > 0;
            step->commands.push_back(Pick(keys[k]->x, keys[k]->y));
            ++step->clicks;
            c_world.ClickPicture(keys[k]->x, keys[k]->y);
        }
    }
    return step->clicks > 0;
}

bool Searcher::ReadingOnly(const std::string& standing)
{
    const WorldManager::PlayState opened = c_world.SavePlayState();
    const std::string story = standing.substr(kPlaceBytes);
    std::set<std::string> seen{Key()};
    std::vector<WorldManager::PlayState> open{opened};
    while (!open.empty()) {
        const WorldManager::PlayState at = open.back();
        open.pop_back();
        c_world.RestorePlayState(at);
        NoteShown();
        const std::vector<Clickable> clickables = Clickables();
        for (const Move& move : Moves(clickables)) {
            c_world.RestorePlayState(at);
            SearchStep step;
            try {
                if (!Play(move, clickables, &step)) continue;
            } catch (const std::exception&) {
                return false;  // the search plays it again and reports the error
            }
            const std::string key = Key();
            if (key == standing) continue;  // back where it was opened
            const WorldManager::PlayState after = c_world.SavePlayState();
            if (!after.closeUp || key.substr(kPlaceBytes) != story) return false;
            if (seen.insert(key).second) open.push_back(after);
        }
    }
    c_world.RestorePlayState(opened);
    return true;
}

void Searcher::NoteShown()
{
    const WorldScreen* screen = c_world.get_Screen();
    if (screen == nullptr) return;
    for (int i = 0; i < screen->get_OverlayCount(); ++i)
        if (c_world.TestConditionList(screen->GetOverlay(i))) c_overlaysShown.insert(screen->GetOverlay(i));
    for (int i = 0; i < screen->get_OverwriteBaseImageCount(); ++i) {
        const WorldOverwriteBaseImage* version = screen->GetOverwriteBaseImage(i);
        if (c_world.getGlobalVarValue(version->get_VarNumber()) == version->get_VarValue()) c_versionsShown.insert(version);
    }
}

void Searcher::Explore(const WorldManager::PlayState& start)
{
    c_world.RestorePlayState(start);
    c_nodes.push_back({});
    c_nodes[0].play = start;
    c_nodes[0].goal = start.creditsDue || start.endGameMode;
    c_nodes[0].goals = GoalsHeld();
    c_index.emplace(Key(), 0);
    // Shortest routes in clicks first: a queue per number of clicks.
    std::vector<std::vector<std::uint32_t>> queue(1, {0});
    for (std::size_t cost = 0; cost < queue.size(); ++cost) {
        for (std::size_t q = 0; q < queue[cost].size(); ++q) {
            const std::uint32_t id = queue[cost][q];
            if (c_nodes[id].expanded || c_nodes[id].cost != static_cast<int>(cost)) continue;
            c_nodes[id].expanded = true;
            if (c_nodes[id].play.creditsDue) continue;  // the credits: nothing follows
            const WorldManager::PlayState here = c_nodes[id].play;
            c_world.RestorePlayState(here);
            NoteShown();
            const std::vector<Clickable> clickables = Clickables();
            if (here.heldItem == 0) NoteSilent(clickables, here);
            const std::vector<Move> moves = Moves(clickables);
            for (const Move& move : moves) {
                c_world.RestorePlayState(here);
                SearchStep step;
                bool played = false;
                try {
                    played = Play(move, clickables, &step);
                } catch (const std::exception& e) {
                    const std::string error = Describe(here, move, clickables) + ": " + e.what();
                    if (std::find(c_errors.begin(), c_errors.end(), error) == c_errors.end()) c_errors.push_back(error);
                }
                if (!played) continue;
                ++c_moves;
                const WorldManager::PlayState after = c_world.SavePlayState();
                step.screenAfter = after.screenPosition;
                const std::string key = Key();
                const int cost2 = static_cast<int>(cost) + std::max(1, step.clicks);
                auto [at, fresh] = c_index.emplace(key, static_cast<std::uint32_t>(c_nodes.size()));
                if (fresh) {
                    if (c_nodes.size() >= c_limit) {
                        c_complete = false;
                        c_index.erase(at);
                        continue;
                    }
                    Node node;
                    node.play = after;
                    node.cost = std::numeric_limits<int>::max();  // given its cost just below
                    node.goal = after.creditsDue || after.endGameMode;
                    node.goals = GoalsHeld();
                    c_nodes.push_back(std::move(node));
                }
                const std::uint32_t child = at->second;
                if (child == id) continue;
                c_nodes[id].next.push_back(child);
                Node& n = c_nodes[child];
                if (!n.expanded && cost2 < n.cost) {
                    n.cost = cost2;
                    n.parent = id;
                    n.step = std::move(step);
                    n.cause = Describe(here, move, clickables);
                    if (queue.size() <= static_cast<std::size_t>(cost2)) queue.resize(static_cast<std::size_t>(cost2) + 1);
                    queue[static_cast<std::size_t>(cost2)].push_back(child);
                }
            }
        }
        queue[cost].clear();
        queue[cost].shrink_to_fit();
    }
}

std::vector<SearchStep> Searcher::Route(std::uint32_t node) const
{
    std::vector<SearchStep> route;
    for (std::uint32_t at = node; c_nodes[at].parent != kNone; at = c_nodes[at].parent) route.push_back(c_nodes[at].step);
    std::reverse(route.begin(), route.end());
    return route;
}

std::vector<bool> Searcher::Reachable(const std::function<bool(std::uint32_t)>& avoid) const
{
    std::vector<bool> seen(c_nodes.size(), false);
    if (avoid(0)) return seen;
    std::deque<std::uint32_t> open{0};
    seen[0] = true;
    while (!open.empty()) {
        const std::uint32_t at = open.front();
        open.pop_front();
        for (std::uint32_t next : c_nodes[at].next) {
            if (seen[next] || avoid(next)) continue;
            seen[next] = true;
            open.push_back(next);
        }
    }
    return seen;
}

void Searcher::Report(SearchResult& result)
{
    result.states = c_nodes.size();
    result.moves = c_moves;
    result.complete = c_complete;
    result.errors = c_errors;
    for (const auto& [screen, hotspot] : c_silent)
        result.silent.push_back({"silent refusal", "screen " + c_names.Screen(screen) + ", hotspot " + std::to_string(hotspot), {}});

    // Which states can still reach the ending: backwards from every ending state.
    std::vector<std::vector<std::uint32_t>> before(c_nodes.size());
    for (std::uint32_t id = 0; id < c_nodes.size(); ++id)
        for (std::uint32_t next : c_nodes[id].next) before[next].push_back(id);
    std::vector<bool> live(c_nodes.size(), false);
    std::deque<std::uint32_t> open;
    for (std::uint32_t id = 0; id < c_nodes.size(); ++id) {
        if (c_nodes[id].goal) {
            live[id] = true;
            open.push_back(id);
        }
    }
    while (!open.empty()) {
        const std::uint32_t at = open.front();
        open.pop_front();
        for (std::uint32_t prev : before[at]) {
            if (live[prev]) continue;
            live[prev] = true;
            open.push_back(prev);
        }
    }
    result.endingReachable = live[0];

    // The shortest route to the credits (or, when none ends there, to the end-game mode).
    std::uint32_t best = kNone;
    for (std::uint32_t id = 0; id < c_nodes.size(); ++id) {
        if (!c_nodes[id].goal) continue;
        const auto rank = [&](std::uint32_t n) { return std::make_pair(c_nodes[n].play.creditsDue ? 0 : 1, c_nodes[n].cost); };
        if (best == kNone || rank(id) < rank(best)) best = id;
    }
    if (best != kNone) {
        result.solution = Route(best);
        result.solutionClicks = c_nodes[best].cost;
    }

    // Dead ends: entered from a state that could still reach the ending. Unless the search was
    // cut short, when what lies beyond its edge is unknown.
    if (c_complete) {
        std::map<std::string, std::size_t> byCause;
        for (std::uint32_t id = 0; id < c_nodes.size(); ++id) {
            if (live[id]) continue;
            const std::uint32_t parent = c_nodes[id].parent;
            if (parent != kNone && !live[parent]) continue;
            const std::string cause = parent == kNone ? "the new game" : c_nodes[id].cause;
            auto [at, fresh] = byCause.emplace(cause, result.deadEnds.size());
            if (fresh) {
                SearchDeadEnd dead;
                dead.cause = cause;
                dead.screen = c_names.Screen(c_nodes[id].play.screenPosition);
                dead.clicks = c_nodes[id].cost;
                dead.route = Route(id);
                result.deadEnds.push_back(std::move(dead));
            }
            SearchDeadEnd& dead = result.deadEnds[at->second];
            ++dead.ways;
            if (c_nodes[id].cost < dead.clicks) {
                dead.clicks = c_nodes[id].cost;
                dead.screen = c_names.Screen(c_nodes[id].play.screenPosition);
                dead.route = Route(id);
            }
        }
    }

    // Never reached: screens, lists, overlays, versions of a picture, films.
    std::set<const WorldScreen*> shownScreens;
    for (const auto& screen : c_world.get_Screens()) {
        if (c_observer.screens.count(screen->get_Number()) && c_world.getWorldScreen(screen->get_Number()) == screen.get())
            shownScreens.insert(screen.get());
    }
    const auto screenName = [&](const WorldScreen* screen) {
        std::string name = c_names.Screen(screen->get_Number());
        if (c_world.getWorldScreen(screen->get_Number()) != screen) name += " (a second screen of number " + std::to_string(screen->get_Number()) + ")";
        return name;
    };
    for (const auto& screen : c_world.get_Screens())
        if (!shownScreens.count(screen.get())) result.unreached.push_back({"screen", screenName(screen.get()), {}});
    std::set<std::wstring> filmsRun, films;
    ForEachListSite(c_world, [&](const ListSite& site) {
        const bool ran = c_observer.lists.count(site.list) != 0;
        for (int a = 0; a < site.list->get_ActionNumber(); ++a) {
            const WorldAction& action = *site.list->getAction(a);
            if (action.get_Type() != ACT_PlayVideo) continue;
            for (int p = 0; p < action.get_ParamCount(); ++p) {
                if (action.getParamType(p) != 0) continue;
                if (const auto* path = std::get_if<const wchar_t*>(&action.getParamValueObject(p))) {
                    films.insert(*path);
                    if (ran) filmsRun.insert(*path);
                }
            }
        }
        if (ran || !shownScreens.count(site.screen)) return;  // an unshown screen is reported itself
        std::string name = "screen " + screenName(site.screen);
        if (site.hotspot == nullptr) {
            result.unreached.push_back({"entry list", name + ", entry list " + std::to_string(site.listIndex), {}});
            return;
        }
        name += ", hotspot " + std::to_string(site.hotspotIndex) + ", list " + std::to_string(site.listIndex);
        if (site.list->get_Type()) result.unreached.push_back({"hotspot list", name, {}});
        else result.unreached.push_back({"item use", name + " (" + c_names.Item(site.list->get_Number()) + ")", {}});
    });
    for (const auto& screen : c_world.get_Screens()) {
        if (!shownScreens.count(screen.get())) continue;
        for (int i = 0; i < screen->get_OverlayCount(); ++i)
            if (!c_overlaysShown.count(screen->GetOverlay(i)))
                result.unreached.push_back({"overlay", "screen " + screenName(screen.get()) + ", overlay " + std::to_string(i) + " (" + screen->GetOverlay(i)->get_ImagePath() + ")", {}});
        for (int i = 0; i < screen->get_OverwriteBaseImageCount(); ++i) {
            const WorldOverwriteBaseImage* version = screen->GetOverwriteBaseImage(i);
            if (!c_versionsShown.count(version))
                result.unreached.push_back({"picture version", "screen " + screenName(screen.get()) + ", " + version->get_BaseImage() + " (" +
                                                c_names.Variable(version->get_VarNumber()) + " = " + std::to_string(version->get_VarValue()) + ")", {}});
        }
    }
    for (const std::wstring& film : films)
        if (!filmsRun.count(film)) result.unreached.push_back({"film", Narrow(film.c_str()), {}});

    // The goals, and which goals every route to each passes first.
    std::vector<bool> atStart(c_goals.size());
    std::vector<bool> reached(c_goals.size(), false);
    const auto holds = [&](std::uint32_t n, std::size_t g) { return (c_nodes[n].goals[g / 64] >> (g % 64)) & 1; };
    for (std::size_t g = 0; g < c_goals.size(); ++g) {
        atStart[g] = holds(0, g);
        for (std::uint32_t n = 0; n < c_nodes.size() && !reached[g]; ++n) reached[g] = holds(n, g);
    }
    std::vector<int> goalIndex(c_goals.size(), -1);
    for (std::size_t g = 0; g < c_goals.size(); ++g) {
        if (atStart[g]) continue;  // already so in the new game: nothing to achieve
        goalIndex[g] = static_cast<int>(result.goals.size());
        result.goals.push_back({c_goals[g].name, reached[g], {}});
    }
    for (std::size_t b = 0; b < c_goals.size(); ++b) {
        if (goalIndex[b] < 0 || !reached[b]) continue;
        const std::vector<bool> without = Reachable([&](std::uint32_t n) { return holds(n, b) != 0; });
        for (std::size_t a = 0; a < c_goals.size(); ++a) {
            if (a == b || goalIndex[a] < 0 || !reached[a]) continue;
            bool avoided = false;
            for (std::uint32_t n = 0; n < c_nodes.size() && !avoided; ++n) avoided = without[n] && holds(n, a);
            if (!avoided) result.goals[static_cast<std::size_t>(goalIndex[a])].needs.push_back(goalIndex[b]);
        }
        bool endingWithout = false;
        for (std::uint32_t n = 0; n < c_nodes.size() && !endingWithout; ++n) endingWithout = without[n] && c_nodes[n].goal;
        if (!endingWithout && result.endingReachable) result.endingNeeds.push_back(goalIndex[b]);
    }
}

}  // namespace

// ---- names ----

SearchNames SearchNames::FromFiles(const WorldFiles& files)
{
    SearchNames names;
    for (const WorldFiles::Screen& screen : files.get_ScreenList())
        if (!screen.name.empty()) names.screens.emplace(screen.number, screen.name);
    for (const auto& [name, number] : files.get_Screens()) names.screens.emplace(number, name);
    for (const auto& [name, number] : files.get_Variables()) names.variables.emplace(number, name);
    for (const auto& [name, number] : files.get_Grids()) names.grids.emplace(number, name);
    for (const auto& [name, number] : files.get_Items()) names.items.emplace(number, name);
    return names;
}

namespace {
std::string NameIn(const std::map<int, std::string>& names, int number, const char* kind)
{
    const auto found = names.find(number);
    return found != names.end() ? found->second : std::string(kind) + " " + std::to_string(number);
}
}  // namespace

std::string SearchNames::Screen(int number) const { return NameIn(screens, number, "screen"); }
std::string SearchNames::Variable(int number) const { return NameIn(variables, number, "variable"); }
std::string SearchNames::Grid(int number) const { return NameIn(grids, number, "grid"); }
std::string SearchNames::Item(int number) const { return NameIn(items, number, "item"); }

std::vector<SearchAllowance> SearchAllowancesFromFiles(const WorldFiles& files)
{
    std::vector<SearchAllowance> out;
    for (const WorldFiles::Note& note : files.get_Notes()) {
        if (note.kind != "search_allows") continue;
        const auto add = [&](const WorldNote& entry) {
            out.push_back({entry["kind"].text, entry["name"].text, entry["reason"].text, note.where});
        };
        if (note.value.kind == WorldNote::List) {
            for (const WorldNote& entry : note.value.list) add(entry);
        } else {
            add(note.value);
        }
    }
    return out;
}

// ---- the search ----

StateSearch::StateSearch(WorldManager& world, SearchNames names, std::vector<SearchAllowance> allowances)
    : c_world(world), c_names(std::move(names)), c_allowances(std::move(allowances))
{
}

std::size_t SearchResult::Faults() const
{
    std::size_t faults = errors.size() + (endingReachable ? 0 : 1);
    for (const SearchDeadEnd& dead : deadEnds) faults += dead.allowedBecause.empty() ? 1 : 0;
    for (const SearchUnreached& thing : unreached) faults += thing.allowedBecause.empty() ? 1 : 0;
    for (const SearchUnreached& thing : silent) faults += thing.allowedBecause.empty() ? 1 : 0;
    return faults;
}

SearchResult StateSearch::Run(std::size_t stateLimit)
{
    const auto started = std::chrono::steady_clock::now();
    SearchResult result;
    const WorldManager::PlayState before = c_world.SavePlayState();
    const bool wasRehearsing = c_world.get_Rehearsing();
    Searcher searcher(c_world, c_names, stateLimit);
    c_world.set_Rehearsing(true);
    c_world.set_Watcher(nullptr);
    try {
        searcher.Prepare();
        // The new game: the recorded screen entered at once, its entry lists run.
        c_world.set_Watcher(searcher.get_Observer());
        c_world.JumpToScreen(c_world.get_ScreenPosition(), 0);
        const WorldManager::PlayState start = c_world.SavePlayState();
        c_iStartScreen = start.screenPosition;
        searcher.Explore(start);
        c_world.set_Watcher(nullptr);
        searcher.Report(result);
    } catch (...) {
        c_world.set_Watcher(nullptr);
        c_world.RestorePlayState(before);
        c_world.set_Rehearsing(wasRehearsing);
        throw;
    }
    c_world.RestorePlayState(before);
    c_world.set_Rehearsing(wasRehearsing);

    // The allow-list excuses what it names; an entry that names nothing found is reported.
    std::vector<bool> used(c_allowances.size(), false);
    const auto allow = [&](const std::string& kind, const std::string& name, std::string* because) {
        for (std::size_t i = 0; i < c_allowances.size(); ++i) {
            if (c_allowances[i].kind != kind || c_allowances[i].name != name) continue;
            used[i] = true;
            *because = c_allowances[i].reason;
        }
    };
    for (SearchDeadEnd& dead : result.deadEnds) allow("dead end", dead.cause, &dead.allowedBecause);
    for (SearchUnreached& thing : result.unreached) allow(thing.kind, thing.name, &thing.allowedBecause);
    for (SearchUnreached& thing : result.silent) allow(thing.kind, thing.name, &thing.allowedBecause);
    for (std::size_t i = 0; i < c_allowances.size(); ++i)
        if (!used[i]) result.unusedAllowances.push_back(c_allowances[i]);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

// ---- reports ----

std::string FormatReplayScript(const std::vector<SearchStep>& route, const std::string& title, bool toCredits,
                               int startScreen)
{
    std::ostringstream out;
    out << "# " << title << "\n"
        << "# Written by kelvane-check --search: a new game from the main menu, then each click of the\n"
        << "# route with the screen it shows checked after it.\n"
        << "seed " << StateSearch::kReplaySeed << "\n"
        << "videos skip\npace 100\nexpect phase menu\nclick 600 230                # new game\nwait 1000\n"
        << "expect phase world\nexpect screen " << startScreen << "\n";
    for (const SearchStep& step : route) {
        for (const std::string& command : step.commands) out << command << "\n";
        out << "expect screen " << step.screenAfter << "\n";
    }
    if (toCredits) out << "expect phase credits\n";
    return out.str();
}

std::string FormatSearchReport(const SearchResult& r)
{
    std::ostringstream out;
    out << "State search: " << r.states << " states, " << r.moves << " clicks played, " << r.seconds << " s"
        << (r.complete ? "" : " (stopped at the state limit: dead ends not judged)") << "\n";
    if (r.endingReachable) {
        out << "  the ending is reached from the new game; shortest solution: " << r.solutionClicks << " clicks\n";
    } else {
        out << "  FAULT the ending cannot be reached from the new game\n";
    }
    for (const SearchDeadEnd& dead : r.deadEnds) {
        out << "  " << (dead.allowedBecause.empty() ? "FAULT   " : "allowed ") << "dead end after " << dead.cause
            << " (standing at " << dead.screen << ", " << dead.clicks << " clicks in, from " << dead.ways
            << " states)" << (dead.allowedBecause.empty() ? "" : ": " + dead.allowedBecause) << "\n";
        if (dead.allowedBecause.empty()) {
            out << "    route:";
            for (const SearchStep& step : dead.route)
                for (const std::string& command : step.commands) out << " " << command << ";";
            out << "\n";
        }
    }
    for (const SearchUnreached& thing : r.unreached) {
        out << "  " << (thing.allowedBecause.empty() ? "FAULT   " : "allowed ") << thing.kind << " never reached: "
            << thing.name << (thing.allowedBecause.empty() ? "" : ": " + thing.allowedBecause) << "\n";
    }
    for (const SearchUnreached& thing : r.silent) {
        out << "  " << (thing.allowedBecause.empty() ? "FAULT   " : "allowed ") << "a click says nothing: " << thing.name
            << (thing.allowedBecause.empty() ? " (no list of it runs; give it a line)" : ": " + thing.allowedBecause) << "\n";
    }
    for (const std::string& error : r.errors) out << "  FAULT   a click raised an error: " << error << "\n";
    for (const SearchAllowance& a : r.unusedAllowances)
        out << "  warning " << a.where << ": the allow-list names " << a.kind << " \"" << a.name
            << "\", which the search does not find\n";
    return out.str();
}
