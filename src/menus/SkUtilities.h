// Small helpers of the menu skin library: colour packing, Min and Max of 32-bit signed integers, and
// rounding a half-integer to its even neighbour in integers (the control's thread computes floating point
// in single precision once Direct3D runs, so exact rounding rules stay out of floating point).
#pragma once

#include <cstdint>

// B0 + B1 * 2^8 + B2 * 2^16 + B3 * 2^24, each argument taken as its low 8 bits. With red, green, blue and 0
// it makes a colour value with red in the low byte.
uint32_t PackColor(int b0, int b1, int b2, int b3);

int32_t Min(int32_t a, int32_t b);
int32_t Max(int32_t a, int32_t b);

// twice / 2 rounded to the nearest integer, a half going to the even neighbour (3 -> 2, 1 -> 0, -1 -> 0,
// -3 -> -2). For "(a / 2) - 0.5 rounded" pass a - 1.
int RoundHalfToEven(int twice);
