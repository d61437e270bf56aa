// Helpers of the menu skin library's tests: a 32-bit memory bitmap with a canvas on it, prepared as the
// platform prepares the canvas of an owner-drawn menu item.
#pragma once

#include <windows.h>

#include "components/bitmap.h"
#include "components/canvas.h"
#include "components/menus.h"

namespace menus_test {

struct Surface {
    Surface(int width, int height, COLORREF fill = RGB(1, 2, 3))
        : bitmap(width, height, comp::PixelFormat::pf32bit), canvas(bitmap.Canvas()) {
        bitmap.Fill(fill);
        canvas.SetFont(comp::SystemMenuFont());
        canvas.SetBrushColor(comp::clMenu);
        canvas.SetFontColor(comp::clMenuText);
    }
    COLORREF At(int x, int y) const { return bitmap.Pixel(x, y); }

    comp::Bitmap bitmap;
    comp::Canvas canvas;
};

inline COLORREF Rgb(COLORREF color) { return comp::ColorToRGB(color); }

}  // namespace menus_test
