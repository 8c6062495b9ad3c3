// Puzzle boards: clicks with and without neighbours, wrap-around, totals and AllChecked.
#include <gtest/gtest.h>

#include "world/world_global_var_array.h"

namespace {

struct Board {
    Board(int width, int height, int numberMax) : grid(vars, 1, 300, width, height, numberMax) {}
    int At(int x, int y) const { return vars[static_cast<std::size_t>(x + y * grid.get_Width())]->get_Value(); }
    void Set(int x, int y, int v) { vars[static_cast<std::size_t>(x + y * grid.get_Width())]->set_Value(static_cast<unsigned char>(v)); }
    int Sum() const
    {
        int s = 0;
        for (const auto& v : vars) s += v->get_Value();
        return s;
    }
    std::vector<std::unique_ptr<WorldGlobalVar>> vars;
    WorldGlobalVarArray grid;
};

}  // namespace

TEST(WorldGlobalVarArray, ClickWithoutNeighboursAdvancesOnlyTheCell)
{
    Board b(3, 3, 1);
    EXPECT_EQ(b.vars[4]->get_Number(), 304) << "cells numbered row by row from the start";
    b.grid.Click(1, 1);
    EXPECT_EQ(b.At(1, 1), 1);
    EXPECT_EQ(b.Sum(), 1);
    b.grid.Click(3, 2);  // outside the board: the last cell advances instead
    EXPECT_EQ(b.At(2, 2), 1);
    b.grid.Click(-1000000, 2000000000);  // far outside: no overflow, the last cell again
    EXPECT_EQ(b.At(2, 2), 0);
}

TEST(WorldGlobalVarArray, ClickWrapsHorizontallyOnly)
{
    Board b(12, 3, 1);
    b.grid.set_ChangeAjenct(true);
    b.grid.set_LoopH(true);
    b.grid.Click(0, 0);
    EXPECT_TRUE(b.At(0, 0) && b.At(11, 0) && b.At(1, 0) && b.At(0, 1));
    EXPECT_EQ(b.Sum(), 4) << "nothing wraps to row 2";
    b.grid.set_LoopV(true);
    b.grid.Click(5, 0);
    EXPECT_EQ(b.At(5, 2), 1);

    Board column(1, 1, 7);
    column.grid.set_ChangeAjenct(true);
    column.grid.set_LoopH(true);
    column.grid.Click(0, 0);
    EXPECT_EQ(column.At(0, 0), 3) << "its own left and right neighbour";
}

TEST(WorldGlobalVarArray, CellCyclesThroughNumberMaxPlusOneValues)
{
    Board b(8, 1, 7);
    for (int i = 1; i <= 8; ++i) b.grid.Click(2, 0);
    EXPECT_EQ(b.At(2, 0), 0) << "eight clicks: the cycle of 8 values is back at 0";
    b.Set(3, 0, 200);
    b.grid.Click(3, 0);
    EXPECT_EQ(b.At(3, 0), 0) << "above the maximum goes to 0";
}

TEST(WorldGlobalVarArray, TotalAndAllChecked)
{
    Board b(5, 1, 4);
    const int values[] = {3, 2, 1, 4, 0};
    for (int x = 0; x < 5; ++x) b.Set(x, 0, values[x]);
    EXPECT_EQ(b.grid.get_Total(), 538);
    EXPECT_FALSE(b.grid.get_AllChecked());
    b.Set(4, 0, 1);
    EXPECT_TRUE(b.grid.get_AllChecked());

    Board eight(8, 1, 7);
    for (int x = 0; x < 8; ++x) eight.Set(x, 0, 7);
    EXPECT_EQ(eight.grid.get_Total(), 16777215);
}

TEST(WorldGlobalVarArray, TotalTooLargeForIntSaturates)
{
    Board b(12, 3, 1);
    b.Set(2, 0, 1);
    EXPECT_EQ(b.grid.get_Total(), 4) << "empty high digits do not disturb a small total";
    b.Set(11, 2, 1);  // 2^35
    EXPECT_EQ(b.grid.get_Total(), 2147483647);
    Board wide(40, 1, 254);
    wide.Set(39, 0, 254);
    EXPECT_EQ(wide.grid.get_Total(), 2147483647);
}
