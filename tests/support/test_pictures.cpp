// The four-quadrant test picture and colour comparison.
#include "test_pictures.h"

#include <cstdio>
#include <cstdlib>

namespace testing_support {

void FillQuadrants(comp::Bitmap& b) {
    const int w = b.Width(), h = b.Height();
    b.FillRect(RECT{0, 0, w / 2, h / 2}, kRed);
    b.FillRect(RECT{w / 2, 0, w, h / 2}, kGreen);
    b.FillRect(RECT{0, h / 2, w / 2, h}, kBlue);
    b.FillRect(RECT{w / 2, h / 2, w, h}, kYellow);
}

comp::Bitmap QuadrantBitmap(int w, int h, comp::PixelFormat format) {
    comp::Bitmap b(w, h, format);
    FillQuadrants(b);
    return b;
}

bool ColoursNear(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string ColourHex(COLORREF c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(c));
    return buf;
}

}  // namespace testing_support
