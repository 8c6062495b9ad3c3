#include "world/world_global_var_array.h"

#include <algorithm>
#include <cstdint>
#include <limits>

WorldGlobalVarArray::WorldGlobalVarArray(std::vector<std::unique_ptr<WorldGlobalVar>>& vars, int number, int start,
                                         int width, int height, int numberMax)
    : c_iNumber(number), c_iStart(start), c_iWidth(width), c_iHeight(height), c_iNumberMax(numberMax)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            vars.push_back(std::make_unique<WorldGlobalVar>(start + x + y * width, 0));
            c_pVars.push_back(vars.back().get());
        }
    }
}

WorldGlobalVar* WorldGlobalVarArray::getVar(int number) const
{
    for (WorldGlobalVar* var : c_pVars) {
        if (var->get_Number() == number) return var;
    }
    return c_pVars.empty() ? nullptr : c_pVars.back();
}

WorldGlobalVar* WorldGlobalVarArray::Cell(int x, int y) const
{
    // In 64 bits: a wild click far outside the board must not overflow the cell number.
    const std::int64_t number = std::int64_t{c_iStart} + x + std::int64_t{y} * c_iWidth;
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max()) {
        return c_pVars.empty() ? nullptr : c_pVars.back();
    }
    return getVar(static_cast<int>(number));
}

void WorldGlobalVarArray::IncreaseSpot(int x, int y)
{
    WorldGlobalVar* cell = Cell(x, y);
    if (cell == nullptr) return;
    const int value = cell->get_Value();
    cell->set_Value(value < c_iNumberMax ? static_cast<unsigned char>(value + 1) : 0);
}

void WorldGlobalVarArray::Click(int x, int y)
{
    IncreaseSpot(x, y);
    if (!c_bChangeAjenct) return;
    if (x > 0) {
        IncreaseSpot(x - 1, y);
    } else if (c_bLoopH) {
        IncreaseSpot(c_iWidth - 1, y);
    }
    if (x < c_iWidth - 1) {
        IncreaseSpot(x + 1, y);
    } else if (c_bLoopH) {
        IncreaseSpot(0, y);
    }
    if (y > 0) {
        IncreaseSpot(x, y - 1);
    } else if (c_bLoopV) {
        IncreaseSpot(x, c_iHeight - 1);
    }
    if (y < c_iHeight - 1) {
        IncreaseSpot(x, y + 1);
    } else if (c_bLoopV) {
        IncreaseSpot(x, 0);
    }
}

bool WorldGlobalVarArray::get_AllChecked() const
{
    for (int x = 0; x < c_iWidth; ++x) {
        for (int y = 0; y < c_iHeight; ++y) {
            if (Cell(x, y)->get_Value() == 0) return false;
        }
    }
    return true;
}

int WorldGlobalVarArray::get_Total() const
{
    // Summed in 64 bits with saturation: a board of many cells (12 x 3 with two values needs
    // 36 bits) reads as the largest int instead of a wrapped, meaningless number.
    constexpr std::int64_t kLimit = std::numeric_limits<int>::max();
    const std::int64_t base = std::int64_t{c_iNumberMax} + 1;
    std::int64_t total = 0;
    std::int64_t power = 1;  // base^k, saturated at kLimit + 1 (anything above the limit)
    for (int y = 0; y < c_iHeight; ++y) {
        for (int x = 0; x < c_iWidth; ++x) {
            const std::int64_t value = Cell(x, y)->get_Value();
            if (value != 0) {
                if (power > kLimit) return static_cast<int>(kLimit);
                total += value * power;  // at most 255 * 2^31: no 64-bit overflow
                if (total > kLimit) return static_cast<int>(kLimit);
            }
            // Both factors are at most 2^31: the product fits in 64 bits before it is capped.
            power = std::min(power * base, kLimit + 1);
        }
    }
    return static_cast<int>(total);
}
