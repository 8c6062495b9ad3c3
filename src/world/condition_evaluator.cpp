#include "world/condition_evaluator.h"

#include <cstdint>
#include <vector>

#include "world/condition_codes.h"

namespace {

struct Pair {
    bool operand;  // an operand holds a value; an operator holds its code
    int value;
};

int Apply(int op, int a, int b)
{
    switch (op) {
    case CT_Equal: return a == b ? 1 : 0;
    case CT_Greater: return a > b ? 1 : 0;
    case CT_Less: return a < b ? 1 : 0;
    case CT_NotEqual: return a != b ? 1 : 0;
    case CT_Or: return (a != 0 || b != 0) ? 1 : 0;
    case CT_And: return (a != 0 && b != 0) ? 1 : 0;
    default: return 0;  // an operator the language does not define yields false
    }
}

bool IsOperator(const Pair& p, int code) { return !p.operand && p.value == code; }

enum class Step { Changed, Unchanged, False };

// One scan from the left: applies the first rule that fires.
Step ReduceOnce(std::vector<Pair>& pairs)
{
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const Pair& a = pairs[i];
        if (!a.operand) {
            if (a.value == CT_Not && i + 1 < pairs.size() && pairs[i + 1].operand) {
                pairs[i] = {true, pairs[i + 1].value == 0 ? 1 : 0};
                pairs.erase(pairs.begin() + static_cast<std::ptrdiff_t>(i) + 1);
                return Step::Changed;
            }
            continue;
        }
        if (i + 1 >= pairs.size()) break;
        const Pair& next = pairs[i + 1];
        if (next.operand) return Step::False;
        if (next.value == CT_Open) continue;
        if (next.value == CT_Close) {
            if (i == 0 || !IsOperator(pairs[i - 1], CT_Open)) return Step::False;  // unmatched
            pairs[i - 1] = a;
            pairs.erase(pairs.begin() + static_cast<std::ptrdiff_t>(i), pairs.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            return Step::Changed;
        }
        if (next.value == CT_Not) continue;  // a negation binds to the operand after it first
        if (i + 2 < pairs.size() && pairs[i + 2].operand) {
            pairs[i] = {true, Apply(next.value, a.value, pairs[i + 2].value)};
            pairs.erase(pairs.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                        pairs.begin() + static_cast<std::ptrdiff_t>(i) + 3);
            return Step::Changed;
        }
    }
    return Step::Unchanged;
}

}  // namespace

bool IsConditionOperand(int code)
{
    return code == CT_Value || code == CT_Var || code == CT_ArrayTotal || code == CT_ArrayAllChecked ||
           code == CT_ArrayNotAllChecked;
}

bool EvaluateConditionTokens(const int* tokens, unsigned count, const ConditionOperandReader& readOperand)
{
    if (count == 0) return true;
    std::vector<Pair> pairs;
    pairs.reserve(count);
    for (unsigned i = 0; i < count;) {
        if (IsConditionOperand(tokens[i])) {
            if (i + 1 >= count) return false;  // an operand code without its argument
            pairs.push_back({true, readOperand(tokens[i], tokens[i + 1])});
            i += 2;
        } else {
            pairs.push_back({false, tokens[i]});
            i += 1;
        }
    }
    // Every change removes at least one pair, so this ends after at most `count` rounds.
    while (pairs.size() > 1) {
        const Step step = ReduceOnce(pairs);
        if (step == Step::False || step == Step::Unchanged) return false;
    }
    return pairs[0].operand && pairs[0].value > 0;
}
