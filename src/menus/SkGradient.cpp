// Gradient fills: rows for the vertical gradient, one row copied down for the horizontal one, pixel by
// pixel for the diagonals. Colour steps are integer arithmetic; the diagonal fraction too, so that it
// does not depend on the precision the thread's floating point runs at.
#include "menus/SkGradient.h"

#include <cstdint>
#include <vector>

#include "menus/SkUtilities.h"

namespace {

struct Rgb {
    int r, g, b;
};

Rgb RgbOf(COLORREF color) {
    const COLORREF c = comp::ColorToRGB(color);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// The colour at fraction k / n of the way from s to s + d, each division truncating toward zero.
Rgb Step(const Rgb& s, const Rgb& d, int64_t k, int64_t n) {
    return {s.r + static_cast<int>(d.r * k / n), s.g + static_cast<int>(d.g * k / n),
            s.b + static_cast<int>(d.b * k / n)};
}

COLORREF PackedOf(const Rgb& c) { return PackColor(c.r, c.g, c.b, 0); }

// Writes one pixel of a 32-bit bitmap when it lies inside it.
void PutPixel(comp::Bitmap& bitmap, int x, int y, const Rgb& c) {
    if (x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height()) return;
    uint8_t* p = bitmap.ScanLine(y) + static_cast<size_t>(x) * 4;
    p[0] = static_cast<uint8_t>(c.b);
    p[1] = static_cast<uint8_t>(c.g);
    p[2] = static_cast<uint8_t>(c.r);
    p[3] = 0;
}

// Writes the pixels |left| to |right| - 1 of row |y|, clipped to the bitmap; colour(x) gives each one.
template <typename ColorAt>
void PutRow(comp::Bitmap& bitmap, int y, int left, int right, ColorAt colorAt) {
    if (y < 0 || y >= bitmap.Height()) return;
    const int from = left < 0 ? 0 : left, to = right > bitmap.Width() ? bitmap.Width() : right;
    if (from >= to) return;
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = from; x < to; ++x) {
        const Rgb c = colorAt(x);
        uint8_t* p = row + static_cast<size_t>(x) * 4;
        p[0] = static_cast<uint8_t>(c.b);
        p[1] = static_cast<uint8_t>(c.g);
        p[2] = static_cast<uint8_t>(c.r);
        p[3] = 0;
    }
}

// A solid brush of |color| filling (x, y, w, h) of the canvas; the canvas's own brush is put back.
void PatFill(comp::Canvas& canvas, int x, int y, int w, int h, COLORREF color) {
    HDC dc = canvas.Handle();
    HBRUSH brush = CreateSolidBrush(color);
    HGDIOBJ old = SelectObject(dc, brush);
    PatBlt(dc, x, y, w, h, PATCOPY);
    SelectObject(dc, old);
    DeleteObject(brush);
}

}  // namespace

void GradientFill(comp::Bitmap* bitmap, comp::Canvas* canvas, const RECT& r, COLORREF startColor, COLORREF endColor,
                  TGradientStyle style) {
    if (!bitmap && !canvas) return;
    if (bitmap) bitmap->SetPixelFormat(comp::PixelFormat::pf32bit);
    const int W = r.right - r.left, H = r.bottom - r.top;

    if (endColor == startColor) {
        if (W <= 0 || H <= 0) return;
        const Rgb s = RgbOf(startColor);
        if (bitmap) {
            for (int y = r.top; y < r.bottom; ++y) PutRow(*bitmap, y, r.left, r.right, [&](int) { return s; });
        } else {
            PatFill(*canvas, r.left, r.top, W, H, PackedOf(s));
        }
        return;
    }

    const Rgb s = RgbOf(startColor), e = RgbOf(endColor);
    const Rgb d = {e.r - s.r, e.g - s.g, e.b - s.b};
    if (H <= 0 || W <= 0) return;

    switch (style) {
        case gsVertical:
            for (int y = r.top; y < r.bottom; ++y) {
                const Rgb c = Step(s, d, y - r.top, H);
                if (bitmap)
                    PutRow(*bitmap, y, r.left, r.right, [&](int) { return c; });
                else
                    PatFill(*canvas, r.left, y, W, 1, PackedOf(c));
            }
            break;
        case gsHorizontal:
            if (bitmap) {
                std::vector<Rgb> row(static_cast<size_t>(W));
                for (int x = r.left; x < r.right; ++x) row[static_cast<size_t>(x - r.left)] = Step(s, d, x - r.left, W);
                for (int y = r.top; y < r.bottom; ++y)
                    PutRow(*bitmap, y, r.left, r.right, [&](int x) { return row[static_cast<size_t>(x - r.left)]; });
            } else {
                for (int x = r.left; x < r.right; ++x) canvas->SetPixel(x, r.top, PackedOf(Step(s, d, x - r.left, W)));
                if (H > 1)
                    canvas->CopyRect(RECT{r.left, r.top + 1, r.right, r.bottom}, canvas->Handle(),
                                     RECT{r.left, r.top, r.right, r.top + 1});
            }
            break;
        case gsDiagonalLeftRight:
        case gsDiagonalRightLeft: {
            // t = trunc(((y - top) / H + (x - left) / W) * 512), exactly.
            const int64_t area = static_cast<int64_t>(H) * W;
            for (int y = r.top; y < r.bottom; ++y) {
                for (int x = r.left; x < r.right; ++x) {
                    const int64_t dy = y - r.top, dx = x - r.left;
                    const int64_t t = 512 * (dy * W + dx * H) / area;
                    const Rgb c = Step(s, d, t, 1024);
                    const int px = style == gsDiagonalLeftRight ? x : r.left + r.right - 1 - x;
                    if (bitmap)
                        PutPixel(*bitmap, px, y, c);
                    else
                        canvas->SetPixel(px, y, PackedOf(c));
                }
            }
            break;
        }
        default:
            break;
    }
}
