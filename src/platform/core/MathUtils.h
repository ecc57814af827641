#pragma once
// Rounding and scaled integer arithmetic with the class library's rules.
#include <cstdint>

// Nearest integer, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
// A value that is not a number or does not fit 64 bits raises EInvalidOp.
int64_t Round(double value);
// Toward zero; the same failures as Round.
int64_t Trunc(double value);
// The fractional part, with the sign of the value.
double Frac(double value);
// a * b / c computed in 64 bits and rounded to nearest, halves away from zero.
// A zero divisor or a result outside 32 bits gives -1.
int MulDiv(int a, int b, int c);
