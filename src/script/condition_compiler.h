// Readable world conditions ("gate_locked = 0 and total(cabinet) = 4093") compiled into the
// interpreter's condition tokens. The interpreter reduces tokens left to right without
// precedence, so the compiler brackets every operand that is not a single value: the tokens
// mean what the text says under the usual precedence (not, comparison, and, or).
// Depends on the world's token codes and the core error type only.
#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "core/error.h"

// How the names in a condition become numbers; each returns nothing for an unknown name.
struct ConditionNames {
    std::function<std::optional<int>(std::string_view)> variable;
    std::function<std::optional<int>(std::string_view)> grid;
    // The variable of a grid's cell (column x, row y).
    std::function<std::optional<int>(std::string_view, int x, int y)> cell;
};

// A condition that does not parse; `column` is 1-based within the condition's text.
class ConditionError : public Error {
public:
    ConditionError(int column, const std::string& message) : Error(message), c_iColumn(column) {}
    int get_Column() const { return c_iColumn; }

private:
    int c_iColumn;
};

// The tokens of `text`; an empty or blank text is the empty list (always true). Throws
// ConditionError naming the column and what was expected.
std::vector<int> CompileCondition(std::string_view text, const ConditionNames& names);
