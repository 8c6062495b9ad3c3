// A puzzle board: a rectangle of ordinary game variables, one per cell, whose values cycle
// 0 .. NumberMax when clicked. The cells live in WorldManager's variable list (so saving sees
// them); the grid refers to them.
#pragma once

#include <memory>
#include <vector>

#include "world/world_global_var.h"

class WorldGlobalVarArray {
public:
    // Creates variable start + x + y * width (value 0) for every cell, row by row, appending
    // each to `vars` (which owns it) and to this grid. Numbers already in use are not checked.
    WorldGlobalVarArray(std::vector<std::unique_ptr<WorldGlobalVar>>& vars, int number, int start, int width,
                        int height, int numberMax);

    // Advances cell (x, y) and, with ChangeAjenct, its four neighbours (wrapping where asked).
    // A cell outside the board falls back to the last cell of the grid.
    void Click(int x, int y);
    // True when every cell is non-zero.
    bool get_AllChecked() const;
    // The board as one number in base NumberMax + 1, cell (0, 0) least significant. A board
    // whose value exceeds the int range reads as the largest int.
    int get_Total() const;

    void set_ChangeAjenct(bool value) { c_bChangeAjenct = value; }
    void set_LoopH(bool value) { c_bLoopH = value; }
    void set_LoopV(bool value) { c_bLoopV = value; }
    int get_Number() const { return c_iNumber; }
    int get_Start() const { return c_iStart; }
    int get_Width() const { return c_iWidth; }
    int get_Height() const { return c_iHeight; }
    int get_NumberMax() const { return c_iNumberMax; }

private:
    // The first cell with that variable number, else the last cell; null for an empty grid.
    WorldGlobalVar* getVar(int number) const;
    WorldGlobalVar* Cell(int x, int y) const;
    void IncreaseSpot(int x, int y);

    int c_iNumber;
    int c_iStart;
    int c_iWidth;
    int c_iHeight;
    int c_iNumberMax;
    bool c_bChangeAjenct = false;
    bool c_bLoopH = false;
    bool c_bLoopV = false;
    std::vector<WorldGlobalVar*> c_pVars;  // row by row; owned by the world's variable list
};
