// The puzzle dependency chart: the story's goals (the values conditions ask variables for,
// the boards they ask grids for) and, for each, the goals every route to it passes first, as
// found by the state search. Written as Graphviz dot; depends on the search's result only.
#pragma once

#include <string>

struct SearchResult;

// The chart as a dot graph: one box per goal reached (goals that need each other, reached by
// the same click, share a box), an arrow from each box to the boxes that need it directly
// (needs implied through another box are left out), ending in the credits. The same result
// always gives the same text, byte for byte.
std::string PuzzleChartDot(const SearchResult& result);
