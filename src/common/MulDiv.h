#pragma once
#include <cstdint>

// a * b / c with a 64-bit product, rounded to the nearest integer with halves
// away from zero. -1 when c is 0 or the result does not fit in 32 bits. All of
// the program's geometry relies on exactly this rounding.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);
