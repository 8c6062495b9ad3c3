// Image blocks composed over a screen's base image when the screen is entered: conditional
// overlays, variable-selected strip frames, and variable-selected replacements of the base.
// Image paths are literals of the world definition and are not copied.
#pragma once

#include <vector>

// A block copied over the base image while its condition holds.
class WorldOverlay {
public:
    WorldOverlay(int x, int y, int w, int h, const char* image) : WorldOverlay(x, y, w, h, image, 0) {}
    WorldOverlay(int x, int y, int w, int h, const char* image, int offset)
        : c_iX(x), c_iY(y), c_iW(w), c_iH(h), c_lpsImage(image), c_iOffset(offset)
    {
    }

    void addCondition(int token) { c_pConditions.push_back(token); }
    int getCondition(int i) const { return c_pConditions.at(static_cast<std::size_t>(i)); }
    const std::vector<int>& get_Conditions() const { return c_pConditions; }
    int get_ConditionNumber() const { return static_cast<int>(c_pConditions.size()); }
    int get_X() const { return c_iX; }
    int get_Y() const { return c_iY; }
    int get_W() const { return c_iW; }
    int get_H() const { return c_iH; }
    const char* get_ImagePath() const { return c_lpsImage; }
    int get_Offset() const { return c_iOffset; }

private:
    int c_iX, c_iY, c_iW, c_iH;
    const char* c_lpsImage;
    int c_iOffset;
    std::vector<int> c_pConditions;
};

// Frame k of a horizontal strip (columns k * W .. k * W + W - 1), k being the value of
// variable `varDependant`. Always drawn.
class WorldOverlayArray {
public:
    WorldOverlayArray(int x, int y, int w, int h, int varDependant, const char* image, int offset)
        : c_iX(x), c_iY(y), c_iW(w), c_iH(h), c_lpsImage(image), c_iOffset(offset), c_iVarDependant(varDependant)
    {
    }

    int get_X() const { return c_iX; }
    int get_Y() const { return c_iY; }
    int get_W() const { return c_iW; }
    int get_H() const { return c_iH; }
    const char* get_ImagePath() const { return c_lpsImage; }
    int get_Offset() const { return c_iOffset; }
    int get_VarDependant() const { return c_iVarDependant; }

private:
    int c_iX, c_iY, c_iW, c_iH;
    const char* c_lpsImage;
    int c_iOffset;
    int c_iVarDependant;
};

// Replaces the base image (scrambled with the screen's offset) while a variable has a value.
class WorldOverwriteBaseImage {
public:
    WorldOverwriteBaseImage(int varNumber, int varValue, const char* image)
        : c_iVarNumber(varNumber), c_iVarValue(varValue), c_lpsBaseImage(image)
    {
    }

    int get_VarNumber() const { return c_iVarNumber; }
    int get_VarValue() const { return c_iVarValue; }
    const char* get_BaseImage() const { return c_lpsBaseImage; }

private:
    int c_iVarNumber;
    int c_iVarValue;
    const char* c_lpsBaseImage;
};
