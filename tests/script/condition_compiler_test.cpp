#include "script/condition_compiler.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "world/condition_codes.h"
#include "world/condition_evaluator.h"

namespace {

// Three variables a, b, c (numbers 1 to 3), a grid "g" (number 7) whose cell (x, y) is
// variable 100 + x + 10 y.
ConditionNames Names()
{
    ConditionNames n;
    n.variable = [](std::string_view name) -> std::optional<int> {
        if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'c') return name[0] - 'a' + 1;
        return std::nullopt;
    };
    n.grid = [](std::string_view name) -> std::optional<int> { return name == "g" ? std::optional(7) : std::nullopt; };
    n.cell = [](std::string_view name, int x, int y) -> std::optional<int> {
        if (name != "g" || x < 0 || x > 2 || y < 0 || y > 2) return std::nullopt;
        return 100 + x + 10 * y;
    };
    return n;
}

struct Values {
    int var[4] = {0, 0, 0, 0};
    int total = 0;
    bool allSet = false;
};

bool Interpret(const std::vector<int>& tokens, const Values& v)
{
    return EvaluateConditionTokens(tokens.data(), static_cast<unsigned>(tokens.size()), [&](int code, int argument) {
        switch (code) {
        case CT_Value: return argument;
        case CT_Var: return argument >= 1 && argument <= 3 ? v.var[argument] : 0;
        case CT_ArrayTotal: return v.total;
        case CT_ArrayAllChecked: return v.allSet ? 1 : 0;
        case CT_ArrayNotAllChecked: return v.allSet ? 0 : 1;
        }
        return 0;
    });
}

// A random expression as text, and its value computed the ordinary way.
struct Expr {
    std::string text;
    std::function<int(const Values&)> value;
};

Expr RandomExpr(std::mt19937& rng, int depth)
{
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    if (depth == 0 || pick(4) == 0) {
        switch (pick(4)) {
        case 0: {
            const int k = pick(5) - 1;
            return {std::to_string(k), [k](const Values&) { return k; }};
        }
        case 1: return {"total(g)", [](const Values& v) { return v.total; }};
        case 2: return {"all_set(g)", [](const Values& v) { return v.allSet ? 1 : 0; }};
        default: {
            const int i = pick(3) + 1;
            return {std::string(1, static_cast<char>('a' + i - 1)), [i](const Values& v) { return v.var[i]; }};
        }
        }
    }
    Expr l = RandomExpr(rng, depth - 1), r = RandomExpr(rng, depth - 1);
    auto lv = l.value, rv = r.value;
    static const char* const kOps[] = {"=", "~=", "<", ">", "<=", ">=", "and", "or"};
    const int op = pick(9);
    if (op == 8) return {"not (" + l.text + ")", [lv](const Values& v) { return lv(v) == 0 ? 1 : 0; }};
    const std::string text = "(" + l.text + ") " + kOps[op] + " (" + r.text + ")";
    switch (op) {
    case 0: return {text, [lv, rv](const Values& v) { return lv(v) == rv(v) ? 1 : 0; }};
    case 1: return {text, [lv, rv](const Values& v) { return lv(v) != rv(v) ? 1 : 0; }};
    case 2: return {text, [lv, rv](const Values& v) { return lv(v) < rv(v) ? 1 : 0; }};
    case 3: return {text, [lv, rv](const Values& v) { return lv(v) > rv(v) ? 1 : 0; }};
    case 4: return {text, [lv, rv](const Values& v) { return lv(v) <= rv(v) ? 1 : 0; }};
    case 5: return {text, [lv, rv](const Values& v) { return lv(v) >= rv(v) ? 1 : 0; }};
    case 6: return {text, [lv, rv](const Values& v) { return lv(v) != 0 && rv(v) != 0 ? 1 : 0; }};
    default: return {text, [lv, rv](const Values& v) { return lv(v) != 0 || rv(v) != 0 ? 1 : 0; }};
    }
}

TEST(ConditionCompiler, TheInterpreterAgreesWithOrdinaryPrecedenceOnRandomConditions)
{
    std::mt19937 rng(20261209);
    for (int round = 0; round < 400; ++round) {
        const Expr e = RandomExpr(rng, 4);
        // The same condition without the brackets the generator put round every operand
        // relies on precedence; both must compile to a condition with the ordinary meaning.
        const std::vector<int> tokens = CompileCondition(e.text, Names());
        for (int probe = 0; probe < 12; ++probe) {
            Values v;
            for (int i = 1; i <= 3; ++i) v.var[i] = static_cast<int>(rng() % 5) - 1;
            v.total = static_cast<int>(rng() % 4);
            v.allSet = rng() % 2 == 0;
            ASSERT_EQ(Interpret(tokens, v), e.value(v) > 0) << e.text << " with a=" << v.var[1] << " b=" << v.var[2]
                                                            << " c=" << v.var[3] << " total=" << v.total;
        }
    }
}

TEST(ConditionCompiler, PrecedenceWithoutBracketsAndTheTokensOfPlainForms)
{
    EXPECT_EQ(CompileCondition("a = 3", Names()), (std::vector<int>{CT_Var, 1, CT_Equal, CT_Value, 3}));
    EXPECT_EQ(CompileCondition("a == 1 and b ~= 0", Names()),
              (std::vector<int>{CT_Var, 1, CT_Equal, CT_Value, 1, CT_And, CT_Open, CT_Var, 2, CT_NotEqual, CT_Value, 0,
                                CT_Close}));
    EXPECT_EQ(CompileCondition("all_set(g)", Names()), (std::vector<int>{CT_ArrayAllChecked, 7}));
    EXPECT_EQ(CompileCondition("cell(g, 2, 1) > -1", Names()), (std::vector<int>{CT_Var, 112, CT_Greater, CT_Value, -1}));
    EXPECT_TRUE(CompileCondition("   ", Names()).empty());
    // "or" binds looser than "and", "not" tighter than both.
    Values v;
    v.var[1] = 1;  // a
    EXPECT_TRUE(Interpret(CompileCondition("a = 1 or b = 1 and c = 1", Names()), v));
    EXPECT_FALSE(Interpret(CompileCondition("(a = 1 or b = 1) and c = 1", Names()), v));
    EXPECT_TRUE(Interpret(CompileCondition("not b and a", Names()), v));
    EXPECT_FALSE(Interpret(CompileCondition("not (a and not b)", Names()), v));
}

TEST(ConditionCompiler, ErrorsNameTheColumnAndWhatWasExpected)
{
    struct Case {
        const char* text;
        int column;
        const char* says;
    };
    const Case cases[] = {
        {"a = ", 5, "expected a name, a number or '('"},
        {"a = 1 and", 10, "found the end"},
        {"gate_locked = 0", 1, "unknown variable 'gate_locked'"},
        {"total(h) = 3", 7, "unknown grid 'h'"},
        {"count(g)", 1, "unknown function 'count'"},
        {"(a = 1", 7, "expected ')'"},
        {"a = 1 b", 7, "expected 'and', 'or' or the end"},
        {"a # 1", 3, "unexpected character '#'"},
        {"cell(g, 5, 0)", 6, "no cell (5, 0)"},
        {"a = 99999999999", 5, "number out of range"},
    };
    for (const Case& c : cases) {
        try {
            CompileCondition(c.text, Names());
            ADD_FAILURE() << "'" << c.text << "' compiled";
        } catch (const ConditionError& e) {
            EXPECT_EQ(e.get_Column(), c.column) << c.text << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << c.text << ": " << e.what();
        }
    }
}

}  // namespace
