// The token codes of the world's conditions. Operand codes are followed by one argument
// token; every other code is a one-token operator.
#pragma once

enum ConditionCode : int {
    // operands
    CT_Value = 0,               // a literal
    CT_Var = 1,                 // a variable read as signed 8-bit
    CT_ArrayTotal = 3,          // a grid's cells read as one number
    CT_ArrayAllChecked = 4,     // 1 when every cell of a grid is non-zero
    CT_ArrayNotAllChecked = 6,  // 0 when every cell of a grid is non-zero
    // comparisons
    CT_Equal = 1001,
    CT_Greater = 1002,
    CT_Less = 1003,
    CT_NotEqual = 1004,
    // logic
    CT_Not = 2001,
    CT_Or = 2002,
    CT_And = 2003,
    // grouping
    CT_Open = 4001,
    CT_Close = 4002,
};
