// Painting and copying the side bar.
#include "menus/SkSideBar.h"

#include <cstdint>

#include "menus/SkFontUtilities.h"
#include "menus/SkGradient.h"
#include "menus/SkRectUtilities.h"
#include "menus/SkUtilities.h"
#include "menus/SkinMenus.h"

namespace {

// Steps |v| back by |step| until it is no longer above 0: where the first tile starts.
int FirstTileOrigin(int step, int v) {
    while (v > 0) v -= step;
    return v;
}

void DrawBarGradient(ISkinMenusIntf& menu, comp::Bitmap& image) {
    TSkBar& bar = menu.GetBar();
    const TSkBarBackPicture& back = bar.BarBackPicture();
    // An opaque background picture that covers the bar leaves nothing of a gradient to see.
    if (!back.Transparent() && back.HasPicture() && !back.Picture().Empty() &&
        (back.DrawStyle == dsTile || back.DrawStyle == dsStretch))
        return;
    RECT all = GetBitmapRect(&image);
    GradientFill(&image, nullptr, all, bar.GradientStart(), bar.GradientEnd(), bar.GradientStyle);
}

void DrawPictureAt(comp::Bitmap& image, const comp::Bitmap& picture, int x, int y, bool transparent) {
    DrawBarPictureInto(image, RECT{x, y, x + picture.Width(), y + picture.Height()}, picture, transparent);
}

void DrawBarPicture(ISkinMenusIntf& menu, comp::Bitmap& image) {
    const TSkBarPicture& picture = menu.GetBar().BarPicture();
    const comp::Bitmap& p = picture.Picture();
    if (p.Empty()) return;
    int x = 0, y = 0;
    picture.GetPosition(x, y);
    DrawPictureAt(image, p, x, y, picture.Transparent());
}

void DrawBarBackPicture(ISkinMenusIntf& menu, comp::Bitmap& image, comp::Canvas& canvas) {
    TSkBar& bar = menu.GetBar();
    const TSkBarBackPicture& back = bar.BarBackPicture();
    const comp::Bitmap& p = back.Picture();
    if (!p.Empty()) {
        switch (back.DrawStyle) {
            case dsNormal: {
                int x = 0, y = 0;
                back.GetPosition(x, y);
                DrawPictureAt(image, p, x, y, back.Transparent());
                break;
            }
            case dsTile: {
                const int w = p.Width(), h = p.Height();
                if (w <= 0 || h <= 0) break;
                int ox = 0, oy = 0;
                if (back.HorzAlignment != haLeft) ox = image.Width() % w - w;
                if (back.HorzAlignment == haCenter) ox /= 2;
                if (back.VertAlignment != vaTop) oy = image.Height() % h - h;
                if (back.VertAlignment == vaMiddle) oy /= 2;
                for (int y = FirstTileOrigin(h, back.OffsetY + oy); y <= image.Height(); y += h)
                    for (int x = FirstTileOrigin(w, back.OffsetX + ox); x <= image.Width(); x += w)
                        DrawPictureAt(image, p, x, y, back.Transparent());
                break;
            }
            case dsStretch:
                DrawBarPictureInto(image, GetBitmapRect(&image), p, back.Transparent());
                break;
        }
    }
    if (bar.Border != comp::clNone) {
        canvas.SetBrushColor(bar.Border);
        canvas.FrameRect(GetBitmapRect(&image));
    }
}

void DrawBarCaption(ISkinMenusIntf& menu, comp::Bitmap& image, comp::Canvas& canvas) {
    TSkBar& bar = menu.GetBar();
    const TSkBarCaption& caption = bar.BarCaption();
    canvas.SetFont(caption.Font);
    HDC dc = canvas.Handle();
    HFONT rotated = CreateRotatedFont(caption.Font, caption.Direction == dUpToDown ? -90 : 90);
    HGDIOBJ old = SelectObject(dc, rotated);
    const std::string& text = caption.Caption;
    SIZE extent = {0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    const int cx = extent.cx, cy = extent.cy;
    const int barHeight = menu.GetBarProtected().Height();
    // (width - cy) / 2 - 0.5 and (height + cx) / 2 - 0.5, halves to the even neighbour.
    int x = RoundHalfToEven(bar.Width - cy - 1);
    int y = 0;
    switch (caption.Alignment) {
        case vaTop: y = caption.OffsetY + cx; break;
        case vaMiddle: y = RoundHalfToEven(barHeight + cx - 1); break;
        case vaBottom:
            y = barHeight - caption.OffsetY;
            if (bar.BarPicture().VertAlignment == vaBottom) y -= bar.BarPicture().Picture().Height();
            break;
    }
    if (caption.Direction == dUpToDown) {
        y -= cx;
        x += cy + 1;
    }
    SetBkMode(dc, TRANSPARENT);
    RECT clip = GetBitmapRect(&image);
    clip.bottom += 1;
    auto draw = [&](int at_x, int at_y, COLORREF color) {
        SetTextColor(dc, comp::ColorToRGB(color));
        ExtTextOutA(dc, at_x, at_y, ETO_CLIPPED, &clip, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    };
    if (caption.HighlightColor != comp::clNone) draw(x - caption.Depth, y + caption.Depth, caption.HighlightColor);
    if (caption.ShadowColor != comp::clNone) draw(x + caption.Depth, y - caption.Depth, caption.ShadowColor);
    draw(x, y, caption.Font.Color());
    SelectObject(dc, old);
    DeleteObject(rotated);
    SetBkMode(dc, OPAQUE);
}

// Paints the bar picture: the application's events and the parts.
void PaintBar(ISkinMenusIntf& menu, comp::Bitmap& image, comp::Canvas& canvas) {
    comp::Menu& sender = *menu.GetMenu();
    const RECT barRect = GetBitmapRect(&image);
    bool defaultDraw = true;
    if (const TOnBeforeDrawBarEvent& before = menu.GetOnBeforeDrawBar()) before(sender, canvas, barRect, defaultDraw);
    if (!defaultDraw) return;
    TSkBar& bar = menu.GetBar();
    TBarParts parts = BarPart(bpGradient);
    if (bar.BarPicture().Visible) parts |= BarPart(bpPicture);
    if (bar.BarBackPicture().Visible) parts |= BarPart(bpBackPicture);
    if (bar.BarCaption().Visible) parts |= BarPart(bpCaption);
    if (const TOnAdvancedBeforeDrawBarEvent& advanced = menu.GetOnAdvancedBeforeDrawBar())
        advanced(sender, canvas, barRect, parts);
    if (parts & BarPart(bpGradient)) DrawBarGradient(menu, image);
    if (parts & BarPart(bpBackPicture)) DrawBarBackPicture(menu, image, canvas);
    if (parts & BarPart(bpPicture)) DrawBarPicture(menu, image);
    if (parts & BarPart(bpCaption)) DrawBarCaption(menu, image, canvas);
}

}  // namespace

void DrawBarPictureInto(comp::Bitmap& image, const RECT& dest, const comp::Bitmap& picture, bool transparent) {
    const int dw = RectWidth(dest), dh = RectHeight(dest);
    if (image.Empty() || picture.Empty() || dw <= 0 || dh <= 0) return;
    const int pw = picture.Width(), ph = picture.Height();
    const COLORREF key = picture.Pixel(0, ph - 1);
    const int left = Max(dest.left, 0), right = Min(dest.right, image.Width());
    const int top = Max(dest.top, 0), bottom = Min(dest.bottom, image.Height());
    for (int y = top; y < bottom; ++y) {
        // Each target pixel takes the picture pixel under its centre.
        const int sy = static_cast<int>((2 * int64_t{y - dest.top} + 1) * ph / (2 * int64_t{dh}));
        for (int x = left; x < right; ++x) {
            const int sx = static_cast<int>((2 * int64_t{x - dest.left} + 1) * pw / (2 * int64_t{dw}));
            const COLORREF c = picture.Pixel(sx, sy);
            if (transparent && c == key) continue;
            image.SetPixel(x, y, c);
        }
    }
}

void DrawSideBar(ISkinMenusIntf& menu, comp::Canvas& canvas, HWND menuWindow, const RECT& itemRect) {
    TSkBarProtected& state = menu.GetBarProtected();
    TSkBar& bar = menu.GetBar();
    if (state.Measuring()) {
        RECT client;
        if (menuWindow && GetClientRect(menuWindow, &client)) state.SetHeight(RectHeight(client));
    }
    comp::Bitmap& image = state.GetBitmap();
    if (state.Measuring()) {
        state.SetMeasuring(false);
        if (image.Height() != state.Height() || image.Width() != bar.Width) {
            image.SetSize(bar.Width, state.Height());
            state.Valid = false;
        }
    }
    RECT d = state.Valid ? itemRect : GetBitmapRect(&image);
    if (bar.Side == sRight) OffsetRect(&d, RectWidth(itemRect) - bar.Width, 0);
    const RECT imageRect = GetBitmapRect(&image);
    if (state.Valid) {
        // The rows of the picture beside the item, where the picture has them.
        RECT source;
        if (IntersectRect(&source, &itemRect, &imageRect))
            BitBlt(canvas.Handle(), source.left + (d.left - itemRect.left), source.top + (d.top - itemRect.top),
                   RectWidth(source), RectHeight(source), image.Canvas(), source.left, source.top, SRCCOPY);
        return;
    }
    // The gradient needs 32-bit rows: the image takes them before its canvas saves the DC's state, so that
    // the state put back names the image's own bitmap and not the one the switch deletes.
    image.SetPixelFormat(comp::PixelFormat::pf32bit);
    comp::Canvas imageCanvas(image.Canvas());
    PaintBar(menu, image, imageCanvas);
    if (!image.Empty())
        BitBlt(canvas.Handle(), d.left, d.top, image.Width(), image.Height(), imageCanvas.Handle(), 0, 0, SRCCOPY);
    if (const TOnAfterDrawBarEvent& after = menu.GetOnAfterDrawBar()) after(*menu.GetMenu(), imageCanvas, imageRect);
    state.Valid = true;
}

void MenuOptionsChanged(ISkinMenusIntf& menu, bool resetBar, bool rebuild) {
    if (resetBar) {
        menu.GetBarProtected().SetMeasuring(true);
        menu.GetBarProtected().Valid = false;
    }
    if (resetBar || rebuild) {
        menu.UpdateItems();
    } else if (auto* bar = dynamic_cast<comp::MainMenu*>(menu.GetMenu())) {
        bar->RedrawBar();
    }
}
