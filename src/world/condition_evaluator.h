// Evaluation of a world condition: a flat list of tokens (condition_codes.h) reduced from the
// left without precedence. Used by WorldManager::TestConditionList, which supplies the
// operand values (variables and grids).
#pragma once

#include <functional>

// Returns the value of operand `code` with argument `argument` (a literal, a variable number
// or a grid number).
using ConditionOperandReader = std::function<int(int code, int argument)>;

// True when the reduced condition is positive. Rules, applied to the leftmost place where
// one fires: operand operator operand -> one operand; ( operand ) -> operand; CT_Not operand ->
// its logical negation; operand operand -> the whole condition is false. A list that cannot
// be reduced to one operand (an operator without operands, an unmatched parenthesis, an
// operand code without its argument) is false. An empty list is true.
bool EvaluateConditionTokens(const int* tokens, unsigned count, const ConditionOperandReader& readOperand);

// Whether a token code is an operand code (followed by one argument token).
bool IsConditionOperand(int code);
