// Picture helpers of the tests: the test colours, the four-quadrant test picture and colour comparison
// with a tolerance (for pictures that went through JPEG or Direct3D).
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <string>

#include "components/bitmap.h"

namespace testing_support {

// The quadrants' colours: `using namespace testing_support::colours;` in a test file.
namespace colours {
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
}  // namespace colours
using namespace colours;

// Paints the bitmap, at its size, in four quadrants: red, green (top right), blue (bottom left), yellow.
void FillQuadrants(comp::Bitmap& b);
// A w x h bitmap of the four quadrants.
comp::Bitmap QuadrantBitmap(int w, int h, comp::PixelFormat format = comp::PixelFormat::pf24bit);

// True when each of red, green and blue differ by |tolerance| at the most.
bool ColoursNear(COLORREF a, COLORREF b, int tolerance);
// The colour value as six hex digits (BBGGRR), for failure messages.
std::string ColourHex(COLORREF c);

// The device's render target as a 32-bit bitmap (read before Present: after a discarding Present the back
// buffer is undefined); empty when it can't be read.
comp::Bitmap ReadRenderTarget(IDirect3DDevice9* device);

}  // namespace testing_support
