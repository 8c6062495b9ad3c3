// One numbered game variable. The world keeps every variable (grid cells included) in one
// list owned by WorldManager; values are bytes, read by the scripts as signed 8-bit.
#pragma once

class WorldGlobalVar {
public:
    WorldGlobalVar(int number, unsigned char value) : c_iNumber(number), c_btValue(value) {}

    int get_Number() const { return c_iNumber; }
    unsigned char get_Value() const { return c_btValue; }
    void set_Value(unsigned char value) { c_btValue = value; }

private:
    int c_iNumber;
    unsigned char c_btValue;
};
