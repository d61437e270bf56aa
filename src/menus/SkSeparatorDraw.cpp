// Painting separator items.
#include "menus/SkSeparatorDraw.h"

#include "menus/SkGradient.h"
#include "menus/SkRectUtilities.h"
#include "menus/SkUtilities.h"
#include "menus/SkinMenus.h"

namespace {

const UINT kLineTextFlags = DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_CENTER;  // 0x825

UINT BandTextFlags(TAlignment alignment) {
    const UINT align = alignment == taRightJustify ? DT_RIGHT : alignment == taCenter ? DT_CENTER : DT_LEFT;
    return DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | align;
}

void EtchedLine(comp::Canvas& canvas, RECT r) { DrawEdge(canvas.Handle(), &r, EDGE_ETCHED, BF_TOP); }

void FlatLine(comp::Canvas& canvas, RECT r) { DrawEdge(canvas.Handle(), &r, BDR_RAISEDOUTER, BF_TOP | BF_FLAT); }

// One run of a fade line: pixels from |from| to |to| (both included) on row |y|; |fraction|(x) is the share of
// the colour, as numerator over fadeWidth, or fadeWidth and more for the full colour.
template <typename Share>
void FadeRun(comp::Canvas& canvas, int y, int from, int to, COLORREF color, int fadeWidth, Share share) {
    const COLORREF c = comp::ColorToRGB(color);
    const int cr = GetRValue(c), cg = GetGValue(c), cb = GetBValue(c);
    for (int x = from; x <= to; ++x) {
        const int k = share(x);
        if (fadeWidth > 0 && k < fadeWidth) {
            const COLORREF p = canvas.Pixel(x, y);
            const int pr = GetRValue(p), pg = GetGValue(p), pb = GetBValue(p);
            canvas.SetPixel(x, y,
                            PackColor(pr + (cr - pr) * k / fadeWidth, pg + (cg - pg) * k / fadeWidth,
                                      pb + (cb - pb) * k / fadeWidth, 0));
        } else {
            canvas.SetPixel(x, y, PackColor(cr, cg, cb, 0));
        }
    }
}

}  // namespace

void DrawFadeLine(comp::Canvas& canvas, const RECT& textRect, const RECT& lineRect, COLORREF color, int fadeWidth,
                  bool split) {
    const int y = Max(lineRect.top, textRect.top);
    const int mid = lineRect.left + (lineRect.right - lineRect.left) / 2;
    const int leftEnd = split ? Min(mid, textRect.left) - 1 : mid;
    const int rightStart = split ? Max(mid, textRect.right) : mid;
    // Inside the fade width the share grows with the distance from the end; farther in it is full.
    FadeRun(canvas, y, lineRect.left, leftEnd, color, fadeWidth, [&](int x) {
        return x < lineRect.left + fadeWidth ? x - lineRect.left : fadeWidth;
    });
    FadeRun(canvas, y, rightStart, lineRect.right, color, fadeWidth, [&](int x) {
        return x > lineRect.right - fadeWidth ? lineRect.right - x : fadeWidth;
    });
}

void DrawSeparatorItem(ISkinMenusIntf& menu, comp::MenuItem& item, const std::string& caption, comp::Canvas& canvas,
                       RECT r, comp::OwnerDrawState state) {
    const TSkSeparators& options = menu.GetSeparators();
    RECT l = r;
    if (options.SeparatorStyle == ssShortLine) {
        l.right += 10;
        InflateRect(&l, -12, 0);
    }
    const RECT t = l;

    if (caption.empty()) {
        l.top += 5;
        if (options.Fade) {
            if (!options.FlatLines) DrawFadeLine(canvas, l, l, comp::clBtnHighlight, options.FadeWidth, false);
            RECT above = l;
            above.top -= 1;
            DrawFadeLine(canvas, above, above, options.FadeColor, options.FadeWidth, false);
        } else if (options.FlatLines) {
            FlatLine(canvas, l);
        } else {
            EtchedLine(canvas, l);
        }
        return;
    }

    const std::string text = " " + caption + " ";
    if (options.SeparatorStyle == ssCaption) {
        if (!options.UseSystemFont) canvas.SetFont(options.Font);
        canvas.SetBrushColor(options.GradientStart());
        GradientFill(nullptr, &canvas, l, options.GradientStart(), options.GradientEnd(), options.GradientStyle);
        canvas.SetBrushClear(true);
        RECT band = l;
        DrawTextExA(canvas.Handle(), const_cast<char*>(text.c_str()), static_cast<int>(text.size()), &band,
                    BandTextFlags(options.Alignment), nullptr);
        return;
    }

    // A caption on a normal or short line: the line leaves a gap for the text.
    canvas.SetBrushClear(true);
    RECT c = t;
    c.bottom -= 1;
    canvas.DrawText(text, c, kLineTextFlags | DT_CALCRECT);
    if (options.Alignment == taRightJustify)
        OffsetRect(&c, RectWidth(t) - RectWidth(c), 0);
    else if (options.Alignment == taCenter)
        OffsetRect(&c, RoundHalfToEven(RectWidth(t) - RectWidth(c) - 1), 0);
    l.top += 6;
    const int right = l.right;
    if (options.Fade) {
        OffsetRect(&l, 0, 1);
        DrawFadeLine(canvas, c, l, options.FadeColor, options.FadeWidth, true);
        if (!options.FlatLines) {
            OffsetRect(&l, 0, 1);
            DrawFadeLine(canvas, c, l, comp::clBtnHighlight, options.FadeWidth, true);
        }
    } else {
        l.right = c.left;
        if (options.FlatLines) OffsetRect(&l, 0, 1);
        options.FlatLines ? FlatLine(canvas, l) : EtchedLine(canvas, l);
        l.right = right;
        l.left = c.right;
        options.FlatLines ? FlatLine(canvas, l) : EtchedLine(canvas, l);
    }
    canvas.DrawText(text, c, kLineTextFlags);
}
