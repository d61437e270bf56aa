// Item measuring and the default item painter of the skinned menus.
#include "menus/SkMenuItemDraw.h"

#include "components/imagelist.h"
#include "components/module.h"
#include "menus/SkDrawModule.h"
#include "menus/SkMenuWindow.h"
#include "menus/SkRectUtilities.h"
#include "menus/SkSeparatorDraw.h"
#include "menus/SkSideBar.h"
#include "menus/SkinMenus.h"

namespace {

const LPCSTR kSystemCheckBitmap = MAKEINTRESOURCEA(32760);  // OBM_CHECK
const char* const kRadioItemBitmap = "SKRADIOITEM";

using comp::Canvas;
using comp::MenuItem;

// Takes the item's draw handler off it for the painting and puts it back on every way out.
class DrawHandlerDetached {
public:
    explicit DrawHandlerDetached(MenuItem& item) : item_(item), handler_(std::move(item.OnAdvancedDrawItem)) {
        item_.OnAdvancedDrawItem = nullptr;
    }
    ~DrawHandlerDetached() { item_.OnAdvancedDrawItem = std::move(handler_); }
    DrawHandlerDetached(const DrawHandlerDetached&) = delete;
    DrawHandlerDetached& operator=(const DrawHandlerDetached&) = delete;

private:
    MenuItem& item_;
    MenuItem::AdvancedDrawItemEvent handler_;
};

bool IsXP(ISkinMenusIntf& menu) { return menu.GetActiveMenuStyle() == msWindowsXP; }

bool IsShortLine(ISkinMenusIntf& menu) { return menu.GetSeparators().SeparatorStyle == ssShortLine; }

// The text alignment of the item's menu: a popup menu's alignment, else left.
UINT AlignmentFlags(const MenuItem& item) {
    auto* popup = dynamic_cast<comp::PopupMenu*>(item.GetParentMenu());
    if (!popup) return DT_LEFT;
    if (popup->Alignment & TPM_RIGHTALIGN) return DT_RIGHT;
    if (popup->Alignment & TPM_CENTERALIGN) return DT_CENTER;
    return DT_LEFT;
}

// A monochrome bitmap (glyph pixels 0, background 1) drawn in |color|; the background stays.
void DrawMonoGlyph(HDC dc, HBITMAP glyph, int x, int y, int width, int height, COLORREF color) {
    HDC source = CreateCompatibleDC(dc);
    if (!source) return;
    HGDIOBJ oldBitmap = SelectObject(source, glyph);
    HBRUSH brush = CreateSolidBrush(color);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    // Where the source is white the destination stays, where it is black the brush shows (PSDPxax).
    BitBlt(dc, x, y, width, height, source, 0, 0, 0x00B8074A);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    SelectObject(source, oldBitmap);
    DeleteDC(source);
}

// The dither of clBtnFace and clBtnHighlight behind a checked glyph in the classic look.
void FillDither(HDC dc, const RECT& r) {
    static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP bits = CreateBitmap(8, 8, 1, 1, pattern);
    if (!bits) return;
    HBRUSH brush = CreatePatternBrush(bits);
    const COLORREF oldText = SetTextColor(dc, comp::ColorToRGB(comp::clBtnFace));
    const COLORREF oldBack = SetBkColor(dc, comp::ColorToRGB(comp::clBtnHighlight));
    if (brush) FillRect(dc, &r, brush);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    if (brush) DeleteObject(brush);
    DeleteObject(bits);
}

void SetItemColors(const MenuItem& item, Canvas& canvas, comp::OwnerDrawState state) {
    const TSkPlatformFlags& flags = PlatformFlags();
    const bool topLevel = IsMenuBarItem(item);
    if ((state & ODS_SELECTED) && (!topLevel || !flags.IsWin98)) {
        canvas.SetBrushColor(comp::clHighlight);
        canvas.SetFontColor(comp::clHighlightText);
    } else {
        canvas.SetFontColor(flags.IsWin98 && (state & ODS_INACTIVE) ? comp::clGrayText : comp::clMenuText);
        canvas.SetBrushColor(topLevel && flags.IsWinXP ? comp::clBtnFace : comp::clMenu);
    }
}

void DrawItemContent(ISkinMenusIntf& menu, MenuItem& item, Canvas& canvas, RECT r, comp::OwnerDrawState state) {
    const TSkPlatformFlags& flags = PlatformFlags();
    const bool selected = (state & ODS_SELECTED) != 0;
    const bool xp = IsXP(menu);
    const bool topLevel = IsMenuBarItem(item);

    if (!selected) canvas.FillRect(r);
    const UINT alignment = AlignmentFlags(item);
    RECT g = {r.left + 1, r.top + 1, r.left + 1, r.top + 1};

    comp::ImageList* images = item.GetImageList();
    const bool indexInList = images && item.ImageIndex >= 0 && item.ImageIndex < images->Count();
    const bool drawImage = images && (indexInList || (item.Checked && item.Bitmap.Empty()));
    const bool drawGlyph = drawImage || !item.Bitmap.Empty();

    if (drawGlyph) {
        g.right = g.left + (drawImage ? images->Width() : 16);
        g.bottom = g.top + (drawImage ? images->Height() : 16);
        OffsetRect(&g, 0, (RectHeight(r) - RectHeight(g)) / 2 - 1);
        // Behind the glyph.
        if (xp) {
            RECT s = r;
            s.right = g.right + 5;
            if (item.Checked) {
                const COLORREF saved = canvas.BrushColor();
                canvas.SetBrushColor(comp::clHighlight);
                if (selected) canvas.FillRect(s);
                OffsetRect(&g, 1, 0);
                if (!selected) {
                    RECT frame = g;
                    InflateRect(&frame, 1, 1);
                    canvas.FrameRect(frame);
                } else {
                    canvas.SetBrushColor(comp::clMenu);
                    canvas.FillRect(g);
                }
                canvas.SetBrushColor(saved);
            } else {
                canvas.FillRect(s);
                OffsetRect(&g, 1, 0);
            }
        } else if (item.Checked) {
            ++g.right;
            ++g.bottom;
            const COLORREF saved = canvas.BrushColor();
            if (selected) {
                canvas.SetBrushColor(comp::clBtnFace);
                canvas.FillRect(g);
            } else {
                FillDither(canvas.Handle(), g);
            }
            canvas.SetBrushColor(saved);
            ++g.left;
            ++g.top;
        }
        // The glyph.
        if (drawImage && indexInList) {
            images->Draw(canvas.Handle(), g.left, g.top, item.ImageIndex, item.Enabled);
        } else if (drawImage) {
            HBITMAP mark = item.RadioItem ? LoadBitmapA(comp::ModuleInstance(), kRadioItemBitmap)
                                          : LoadBitmapA(nullptr, kSystemCheckBitmap);
            if (mark) {
                BITMAP info = {};
                GetObjectA(mark, sizeof info, &info);
                const COLORREF savedFont = canvas.CanvasFont().Color();
                canvas.SetFontColor(comp::clBtnText);
                int x = g.left + (RectWidth(g) - info.bmWidth) / 2;
                int y = g.top + (RectHeight(g) - info.bmHeight) / 2;
                if (!xp) {
                    ++x;
                    ++y;
                } else if (!item.RadioItem) {
                    ++x;
                }
                DrawMonoGlyph(canvas.Handle(), mark, x, y, info.bmWidth, info.bmHeight,
                              comp::ColorToRGB(canvas.CanvasFont().Color()));
                canvas.SetFontColor(savedFont);
                DeleteObject(mark);
            }
        } else {
            const RECT saved = g;
            comp::Bitmap& own = item.Bitmap;
            if (own.Width() < RectWidth(g)) {
                g.left += (RectWidth(g) - own.Width()) / 2 + 1;
                g.right = g.left + own.Width();
            }
            if (own.Height() < RectHeight(g)) {
                g.top += (RectHeight(g) - own.Height()) / 2 + 1;
                g.bottom = g.top + own.Height();
            }
            canvas.CopyRect(g, own.Canvas(), RECT{0, 0, own.Width(), own.Height()});
            g = saved;
        }
        if (item.Checked) {
            --g.right;
            --g.bottom;
        }
    } else if (images && !topLevel) {
        g.right = g.left + images->Width();
        g.bottom = g.top + images->Height();
    }

    g.left -= 1;
    g.top -= 1;
    g.right += 2;
    g.bottom += 2;

    // Selection.
    if (!xp) {
        if (item.Checked || (selected && drawGlyph))
            DrawEdge(canvas.Handle(), &g, item.Checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        if (selected) {
            if (drawGlyph) r.left = g.right + 1;
            if (!(flags.IsWin98 && topLevel)) canvas.SetBrushColor(comp::clHighlight);
            canvas.FillRect(r);
        }
    } else if (selected) {
        RECT s = r;
        if (drawGlyph) {
            r.left = g.right + 1;
            s.left = g.right - 1;
        }
        canvas.SetBrushColor(comp::clHighlight);
        canvas.FillRect(s);
    }
    if (topLevel && xp) {
        if (selected || (state & ODS_HOTLIGHT)) canvas.SetBrushColor(comp::clHighlight);
        canvas.FillRect(r);
    } else if (topLevel && flags.IsWin98) {
        if (selected)
            DrawEdge(canvas.Handle(), &r, BDR_SUNKENOUTER, BF_RECT);
        else if (state & ODS_HOTLIGHT)
            DrawEdge(canvas.Handle(), &r, BDR_RAISEDINNER, BF_RECT);
        if (!selected) OffsetRect(&r, 0, -1);
    }

    // The text.
    r.left = g.right + 1;
    r.left += (xp && !topLevel) ? 4 : 2;
    r.right -= 1;
    UINT textFlags = alignment | DT_EXPANDTABS | DT_SINGLELINE;
    if (flags.IsWin2000 && (state & ODS_NOACCEL)) textFlags |= DT_HIDEPREFIX;
    const RECT s = r;
    if (state & ODS_DEFAULT) {
        canvas.SetFontBold(true);
        if (canvas.CanvasFont().Italic() || canvas.CanvasFont().Underline() || canvas.CanvasFont().StrikeOut()) {
            comp::Font bold = canvas.CanvasFont();
            bold.SetItalic(false);
            bold.SetUnderline(false);
            bold.SetStrikeOut(false);
            canvas.SetFont(bold);
        }
    }
    DrawItemText(item, canvas, item.Caption, r, selected, textFlags | DT_CALCRECT | DT_NOCLIP);
    // The measured text keeps the left edge; right-to-left text ends at the right one.
    const bool rightToLeft = item.GetParentMenu() && item.GetParentMenu()->IsRightToLeft();
    OffsetRect(&r, rightToLeft ? s.right - r.right : 0, (RectHeight(s) - RectHeight(r)) / 2);
    if (topLevel) {
        if (xp) {
            if (!(state & ODS_INACTIVE) && (selected || (state & ODS_HOTLIGHT)))
                canvas.SetFontColor(comp::clHighlightText);
            r.top -= 1;
        } else if (flags.IsWin98 && selected) {
            OffsetRect(&r, 1, 0);
        }
    }
    DrawItemText(item, canvas, item.Caption, r, selected, textFlags);
    if (item.ShortCut && !topLevel) {
        // On the far side of the caption, 10 pixels in from the edge.
        RECT shortcut = {r.right, r.top, s.right - 10, r.bottom};
        if (rightToLeft) {
            const int width = canvas.TextExtent(comp::ShortCutToText(item.ShortCut)).cx;
            shortcut = RECT{s.left + 10, r.top, s.left + 10 + width, r.bottom};
        }
        DrawItemText(item, canvas, comp::ShortCutToText(item.ShortCut), shortcut, selected, DT_RIGHT);
    }
}

}  // namespace

bool IsSeparatorItem(const MenuItem& item) { return item.Caption == "-"; }

std::string SeparatorCaption(const MenuItem& item) { return item.Enabled ? item.Hint : std::string(); }

void MeasureBarItem(MenuItem& item, Canvas& canvas, int& width, int& height, bool barVisible) {
    ISkinMenusIntf* menu = GetItemMenuIntf(&item);
    if (!menu) return;
    TSkBarProtected& barState = menu->GetBarProtected();
    const bool topLevel = IsMenuBarItem(item);
    const bool xp = IsXP(*menu);

    if (IsSeparatorItem(item)) {
        height = !SeparatorCaption(item).empty() ? 14 : (xp ? 9 : 12);
    } else if (!topLevel) {
        if (!menu->GetMenu()->Images && item.Bitmap.Empty()) width += 15;
        if (xp) {
            if (height % 2 != 0) ++height;
            width += 2;
        }
    }

    bool defaultMeasure = true;
    if (const TOnMeasureMenuItemEvent& onMeasure = menu->GetOnMeasureMenuItem())
        onMeasure(*menu->GetMenu(), item, canvas, width, height, barVisible, defaultMeasure);
    if (defaultMeasure)
        if (TSkMenusDrawModule* module = menu->GetDrawModule())
            module->MeasureItem(item, canvas, width, height, barVisible, defaultMeasure);
    if (defaultMeasure && IsShortLine(*menu) && !topLevel) width += 10;

    if (barVisible && !IsInBrokenColumn(item)) {
        width += menu->GetBar().Width + menu->GetBar().Space;
        if (barState.Measuring() && item.Visible) barState.SetHeight(barState.Height() + height);
    }
}

void DrawBarItem(MenuItem& item, Canvas& canvas, RECT rect, comp::OwnerDrawState state, bool barVisible) {
    ISkinMenusIntf* menu = GetItemMenuIntf(&item);
    if (!menu) return;
    HWND window = WindowFromDC(canvas.Handle());
    menu->SetMenuWindow(window);
    ApplyMenuAlpha(*menu, window, menu->GetMenuAlpha());
    {
        DrawHandlerDetached detached(item);
        barVisible = barVisible && !IsInBrokenColumn(item);
        RECT r = rect;
        if (barVisible) {
            const int strip = menu->GetBar().Width + menu->GetBar().Space;
            r.right -= strip;
            if (menu->GetBar().Side == sLeft) OffsetRect(&r, strip, 0);
        }
        if (!menu->GetUseSystemFont()) canvas.SetFont(menu->GetMenuFont());
        bool defaultDraw = true;
        if (TSkMenusDrawModule* module = menu->GetDrawModule())
            module->DrawItem(item, canvas, r, state, barVisible, defaultDraw);
        if (defaultDraw) {
            if (IsShortLine(*menu) && !IsMenuBarItem(item)) r.right -= 10;
            DrawItemDefault(*menu, item, canvas, r, state);
        }
    }
    if (barVisible) DrawSideBar(*menu, canvas, window, rect);
    ShapeMenuWindow(*menu, window);
}

void DrawItemDefault(ISkinMenusIntf& menu, MenuItem& item, Canvas& canvas, RECT r, comp::OwnerDrawState state) {
    if (IsSeparatorItem(item)) {
        DrawSeparatorItem(menu, item, SeparatorCaption(item), canvas, r, state);
        return;
    }
    if (IsShortLine(menu) && !IsMenuBarItem(item)) canvas.FillRect(RECT{r.right, r.top, r.right + 10, r.bottom});
    SetItemColors(item, canvas, state);
    DrawItemContent(menu, item, canvas, r, state);
}

void DrawItemText(MenuItem& item, Canvas& canvas, std::string text, RECT& r, bool selected, UINT flags) {
    if (const comp::Menu* parent = item.GetParentMenu())
        if (parent->IsRightToLeft()) flags |= DT_RIGHT | DT_RTLREADING;
    if ((flags & DT_CALCRECT) && (text.empty() || text == "&")) text += " ";
    if (text == "-") {
        if (!(flags & DT_CALCRECT)) {
            RECT line = r;
            line.top += 4;
            DrawEdge(canvas.Handle(), &line, EDGE_ETCHED, BF_TOP);
        }
        return;
    }
    canvas.SetBrushClear(true);
    if (item.Default) canvas.SetFontBold(true);
    if (!item.Enabled) {
        if (!selected) {
            OffsetRect(&r, 1, 1);
            canvas.SetFontColor(comp::clBtnHighlight);
            canvas.DrawText(text, r, flags);
            OffsetRect(&r, -1, -1);
        }
        const bool sameColour = comp::ColorToRGB(comp::clHighlight) == comp::ColorToRGB(comp::clBtnShadow);
        canvas.SetFontColor(selected && sameColour ? comp::clBtnHighlight : comp::clBtnShadow);
    }
    canvas.DrawText(text, r, flags);
}
