// Condition evaluation: left-to-right reduction without precedence, parentheses, negation,
// and malformed lists, which are false and never read out of range or loop.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "world/condition_codes.h"
#include "world/condition_evaluator.h"

namespace {

enum : int { V = CT_Value, VAR = CT_Var, EQ = CT_Equal, NE = CT_NotEqual, AND = CT_And, OPEN = CT_Open, CLOSE = CT_Close };

class Conditions : public ::testing::Test {
protected:
    bool Eval(const std::vector<int>& tokens)
    {
        // An exactly sized block, so that a read past the end shows under AddressSanitizer.
        auto exact = std::make_unique<int[]>(tokens.size() + 1);
        std::copy(tokens.begin(), tokens.end(), exact.get());
        return EvaluateConditionTokens(exact.get(), static_cast<unsigned>(tokens.size()), [this](int code, int arg) {
            ++reads;
            return code == CT_Value ? arg : code == CT_Var ? static_cast<signed char>(vars[arg]) : 0;
        });
    }
    std::map<int, unsigned char> vars;
    int reads = 0;
};

}  // namespace

TEST_F(Conditions, SingleOperandsAndComparisons)
{
    EXPECT_TRUE(Eval({}));
    EXPECT_TRUE(Eval({V, 5}));
    EXPECT_FALSE(Eval({V, 0}));
    EXPECT_FALSE(Eval({V, -2}));
    vars[9] = 200;
    EXPECT_FALSE(Eval({VAR, 9})) << "200 reads as -56";
    EXPECT_TRUE(Eval({VAR, 9, CT_Less, V, 0}));
    vars[4] = 3;
    EXPECT_TRUE(Eval({VAR, 4, EQ, V, 3}));
    EXPECT_FALSE(Eval({VAR, 4, CT_Greater, V, 3}));
    EXPECT_TRUE(Eval({V, 0, CT_Or, V, 7}));
}

TEST_F(Conditions, BracketedConjunction)
{
    const std::vector<int> c{VAR, 1, EQ, V, 1, AND, OPEN, VAR, 2, NE, V, 0, CLOSE};
    vars[1] = 1;
    vars[2] = 4;
    EXPECT_TRUE(Eval(c));
    EXPECT_EQ(reads, 4) << "each operand read once";
    vars[2] = 0;
    EXPECT_FALSE(Eval(c));
    vars[1] = 0;
    vars[2] = 4;
    EXPECT_FALSE(Eval(c));
}

TEST_F(Conditions, NoPrecedenceLeftmostFirst)
{
    EXPECT_FALSE(Eval({V, 1, AND, V, 1, EQ, V, 0}));
    EXPECT_TRUE(Eval({V, 2, EQ, V, 2, EQ, V, 1})) << "(2 = 2) = 1";
    EXPECT_FALSE(Eval({V, 2, EQ, OPEN, V, 2, EQ, V, 1, CLOSE})) << "2 = (2 = 1)";
    EXPECT_TRUE(Eval({OPEN, OPEN, V, 3, CLOSE, CT_Greater, V, 2, CLOSE}));
}

TEST_F(Conditions, TwoOperandsInARowAreFalse)
{
    vars[1] = 1;
    vars[2] = 2;
    EXPECT_FALSE(Eval({VAR, 1, EQ, V, 1, VAR, 2, EQ, V, 2}));
}

TEST_F(Conditions, NotNegatesTheNextOperand)
{
    EXPECT_TRUE(Eval({CT_Not, V, 0}));
    EXPECT_FALSE(Eval({CT_Not, V, 3}));
    EXPECT_TRUE(Eval({CT_Not, OPEN, V, 2, EQ, V, 1, CLOSE}));
    EXPECT_TRUE(Eval({V, 1, AND, CT_Not, V, 0}));
}

TEST_F(Conditions, MalformedListsAreFalse)
{
    const std::vector<std::vector<int>> malformed{
        {EQ}, {EQ, AND}, {V, 1, EQ}, {EQ, V, 1}, {V, 1, CLOSE}, {V, 1, EQ, V, 1, CLOSE},
        {OPEN, V, 1}, {CLOSE, V, 1, CLOSE}, {VAR}, {V, 1, AND, V}, {V, 1, 2, V, 1}, {OPEN, CLOSE}};
    for (const auto& tokens : malformed) {
        EXPECT_FALSE(Eval(tokens)) << "list of " << tokens.size() << " tokens starting " << tokens[0];
    }
}
