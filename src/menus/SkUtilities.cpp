// Colour packing, Min, Max and integer rounding.
#include "menus/SkUtilities.h"

uint32_t PackColor(int b0, int b1, int b2, int b3) {
    return (static_cast<uint32_t>(b0) & 0xFF) | ((static_cast<uint32_t>(b1) & 0xFF) << 8) |
           ((static_cast<uint32_t>(b2) & 0xFF) << 16) | ((static_cast<uint32_t>(b3) & 0xFF) << 24);
}

int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }

int32_t Max(int32_t a, int32_t b) { return a > b ? a : b; }

int RoundHalfToEven(int twice) {
    // q = floor(twice / 2); an odd |twice| lies half-way between q and q + 1.
    const int q = twice >= 0 ? twice / 2 : -((-twice + 1) / 2);
    if (twice - 2 * q == 0) return q;
    return (q % 2 == 0) ? q : q + 1;
}
