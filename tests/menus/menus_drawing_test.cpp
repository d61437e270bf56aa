// The menu skin library's painting, into memory bitmaps: the small utilities, the gradient fills, the
// separators, the measuring of items, the item painter and the side bar.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "components/imagelist.h"
#include "menus/SkDrawModule.h"
#include "menus/SkFontUtilities.h"
#include "menus/SkGradient.h"
#include "menus/SkLayeredWindows.h"
#include "menus/SkRectUtilities.h"
#include "menus/SkSeparatorDraw.h"
#include "menus/SkSideBar.h"
#include "menus/SkUtilities.h"
#include "menus/SkinMenus.h"
#include "menus_test_support.h"

using menus_test::Rgb;
using menus_test::Surface;

namespace {

COLORREF Mix(COLORREF s, COLORREF e, int k, int n) {
    return RGB(GetRValue(s) + (GetRValue(e) - GetRValue(s)) * k / n,
               GetGValue(s) + (GetGValue(e) - GetGValue(s)) * k / n,
               GetBValue(s) + (GetBValue(e) - GetBValue(s)) * k / n);
}

bool Between(int v, int a, int b) { return (v >= a && v <= b) || (v >= b && v <= a); }

// A module that counts and answers as told.
class TestModule : public TSkMenusDrawModule {
public:
    int draws = 0, measures = 0;
    bool keepDefault = true;
    bool throwOnDraw = false;
    void DrawItem(comp::MenuItem&, comp::Canvas&, RECT, comp::OwnerDrawState, bool, bool& defaultDraw) override {
        ++draws;
        if (throwOnDraw) throw comp::Exception("module failed");
        defaultDraw = keepDefault;
    }
    void MeasureItem(comp::MenuItem&, comp::Canvas&, int&, int&, bool, bool& defaultMeasure) override {
        ++measures;
        defaultMeasure = keepDefault;
    }
};

}  // namespace

TEST(SkUtilities, ColoursIntegersRoundingRectsAndRotatedFonts) {
    EXPECT_EQ(0x000000FFu, PackColor(255, 0, 0, 0));
    EXPECT_EQ(0x030201FFu, PackColor(0x1FF, 0x101, 2, 3));  // only the low bytes count
    EXPECT_EQ(-1, Min(-1, 0));
    EXPECT_EQ(0, Max(-1, 0));
    // Halves go to the even neighbour: -1.5, -0.5, 0.5, 1.5, 2.5, 2.
    EXPECT_EQ(-2, RoundHalfToEven(-3));
    EXPECT_EQ(0, RoundHalfToEven(-1));
    EXPECT_EQ(0, RoundHalfToEven(1));
    EXPECT_EQ(2, RoundHalfToEven(3));
    EXPECT_EQ(2, RoundHalfToEven(5));
    EXPECT_EQ(2, RoundHalfToEven(4));

    const RECT none = GetBitmapRect(nullptr);
    EXPECT_TRUE(none.left == 0 && none.top == 0 && none.right == 0 && none.bottom == 0);
    comp::Bitmap b(5, 7);
    EXPECT_EQ(7, RectHeight(GetBitmapRect(&b)));

    comp::Font font("A font name longer than thirty-one characters", -19, true, true);
    const LOGFONTA lf = RotatedLogFont(font, 90);
    EXPECT_EQ(700, lf.lfWeight);
    EXPECT_EQ(1, lf.lfItalic);
    EXPECT_EQ(900, lf.lfEscapement);
    EXPECT_EQ(-19, lf.lfHeight);
    EXPECT_EQ(31u, std::string(lf.lfFaceName).size());
    EXPECT_EQ(-900, RotatedLogFont(comp::Font("Tahoma", -11), -90).lfEscapement);
    HFONT rotated = CreateRotatedFont(font, 90);
    ASSERT_NE(nullptr, rotated);
    LOGFONTA back = {};
    GetObjectA(rotated, sizeof back, &back);
    EXPECT_EQ(900, back.lfEscapement);
    DeleteObject(rotated);

    // The system has layered windows: the binding found them.
    EXPECT_TRUE(LayeredWindowsAvailable());
    EXPECT_NE(nullptr, SetLayeredWindowAttributesProc());
    EXPECT_NE(nullptr, UpdateLayeredWindowProc());
}

TEST(SkGradient, DirectionsStepsAndMirrors) {
    const COLORREF s = RGB(0, 100, 250), e = RGB(200, 0, 50);
    Surface v(4, 10), h(10, 4), lr(8, 6), rl(8, 6);
    GradientFill(&v.bitmap, nullptr, RECT{0, 0, 4, 10}, s, e, gsVertical);
    for (int y = 0; y < 10; ++y) {
        EXPECT_EQ(Mix(s, e, y, 10), v.At(0, y));
        EXPECT_EQ(v.At(0, y), v.At(3, y));
    }
    GradientFill(&h.bitmap, nullptr, RECT{0, 0, 10, 4}, s, e, gsHorizontal);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(Mix(s, e, x, 10), h.At(x, 3));
    EXPECT_NE(e, h.At(9, 0));  // the last column stops one step short of the end colour

    GradientFill(&lr.bitmap, nullptr, RECT{0, 0, 8, 6}, s, e, gsDiagonalLeftRight);
    GradientFill(&rl.bitmap, nullptr, RECT{0, 0, 8, 6}, s, e, gsDiagonalRightLeft);
    EXPECT_EQ(s, lr.At(0, 0));
    EXPECT_EQ(s, rl.At(7, 0));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(lr.At(x, y), rl.At(7 - x, y));
            EXPECT_TRUE(Between(GetRValue(lr.At(x, y)), GetRValue(s), GetRValue(e)));
        }
    // t = (3/6 + 4/8) * 512 = 512: half way.
    EXPECT_EQ(Mix(s, e, 512, 1024), lr.At(4, 3));

    // Width 1: all start colour.
    Surface one(1, 3);
    GradientFill(&one.bitmap, nullptr, RECT{0, 0, 1, 3}, s, e, gsHorizontal);
    EXPECT_EQ(s, one.At(0, 2));
}

TEST(SkGradient, CanvasAndBitmapGiveTheSameColours) {
    const COLORREF s = comp::clGray, e = comp::clSilver;
    const RECT r = {3, 2, 19, 11};
    for (TGradientStyle style : {gsHorizontal, gsVertical, gsDiagonalLeftRight, gsDiagonalRightLeft}) {
        Surface a(24, 14), b(24, 14);
        GradientFill(&a.bitmap, nullptr, r, s, e, style);
        GradientFill(nullptr, &b.canvas, r, s, e, style);
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 24; ++x)
                ASSERT_EQ(a.At(x, y), b.At(x, y)) << "style " << style << " at " << x << "," << y;
    }
}

TEST(SkGradient, SolidEmptyUnknownAndClippedFills) {
    // Equal colours: exactly R, also away from the origin, on both means.
    for (bool onCanvas : {false, true}) {
        Surface t(10, 10, RGB(9, 9, 9));
        const RECT r = {2, 3, 6, 7};
        if (onCanvas)
            GradientFill(nullptr, &t.canvas, r, RGB(50, 60, 70), RGB(50, 60, 70), gsDiagonalLeftRight);
        else
            GradientFill(&t.bitmap, nullptr, r, RGB(50, 60, 70), RGB(50, 60, 70), gsDiagonalLeftRight);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                POINT p = {x, y};
                EXPECT_EQ(PtInRect(&r, p) ? RGB(50, 60, 70) : RGB(9, 9, 9), t.At(x, y));
            }
    }
    // No height, or an unknown style: nothing painted, nothing raised.
    Surface t(6, 6, RGB(9, 9, 9));
    GradientFill(&t.bitmap, nullptr, RECT{0, 3, 6, 3}, RGB(0, 0, 0), RGB(255, 255, 255), gsVertical);
    const auto unknown = static_cast<TGradientStyle>(7);
    GradientFill(&t.bitmap, nullptr, RECT{0, 0, 6, 6}, RGB(0, 0, 0), RGB(255, 255, 255), unknown);
    GradientFill(nullptr, &t.canvas, RECT{0, 0, 6, 6}, RGB(0, 0, 0), RGB(255, 255, 255), unknown);
    EXPECT_EQ(RGB(9, 9, 9), t.At(3, 3));

    // A rectangle larger than the bitmap: the pixels inside get the colours of the whole gradient, nothing
    // is written past the bitmap.
    for (TGradientStyle style : {gsHorizontal, gsVertical, gsDiagonalLeftRight, gsDiagonalRightLeft}) {
        Surface whole(40, 40), part(10, 10);
        GradientFill(&whole.bitmap, nullptr, RECT{0, 0, 40, 40}, RGB(0, 0, 0), RGB(255, 128, 64), style);
        GradientFill(&part.bitmap, nullptr, RECT{-15, -20, 25, 20}, RGB(0, 0, 0), RGB(255, 128, 64), style);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) ASSERT_EQ(whole.At(x + 15, y + 20), part.At(x, y)) << style;
    }
}

TEST(SkSeparators, FadeLinesCaptionsAndGaps) {
    // FadeWidth 0 never divides and draws the full colour; a fade starts at the background.
    Surface t(40, 4, RGB(255, 255, 255));
    DrawFadeLine(t.canvas, RECT{0, 1, 39, 2}, RECT{0, 1, 39, 2}, RGB(0, 0, 0), 0, false);
    EXPECT_EQ(RGB(0, 0, 0), t.At(0, 1));
    DrawFadeLine(t.canvas, RECT{0, 2, 39, 3}, RECT{0, 2, 39, 3}, RGB(0, 0, 0), 10, false);
    EXPECT_EQ(RGB(255, 255, 255), t.At(0, 2));
    EXPECT_EQ(RGB(128, 128, 128), t.At(5, 2));  // 255 - 255 * 5 / 10
    EXPECT_EQ(RGB(0, 0, 0), t.At(20, 2));
    EXPECT_EQ(RGB(255, 255, 255), t.At(39, 2));

    TSkBarPopupMenu pm;
    ISkinMenusIntf& menu = *GetMenuIntf(&pm);
    comp::MenuItem& separator = pm.Items.AddSeparator("Help");
    TSkSeparators& options = pm.Separators();

    // A caption band filled with the separator gradient, the caption on it.
    options.SeparatorStyle = ssCaption;
    Surface band(120, 14);
    band.canvas.SetBrushColor(comp::clMenu);
    DrawSeparatorItem(menu, separator, "Help", band.canvas, RECT{0, 0, 120, 14}, 0);
    EXPECT_EQ(RGB(128, 128, 128), band.At(0, 0));
    EXPECT_TRUE(Between(GetRValue(band.At(119, 13)), 128, 192));
    int captionPixels = 0;
    for (int y = 0; y < 14; ++y)
        for (int x = 30; x < 90; ++x)
            if (band.At(x, y) == Rgb(comp::clMenuText)) ++captionPixels;
    EXPECT_GT(captionPixels, 10);

    // A caption on a normal line, centred: the line stops at the text's measured rectangle on both sides.
    options.SeparatorStyle = ssNormal;
    options.FlatLines = true;
    Surface line(120, 14, RGB(255, 255, 255));
    DrawSeparatorItem(menu, separator, "Help", line.canvas, RECT{0, 0, 120, 14}, 0);
    RECT text = {0, 0, 120, 13};
    line.canvas.DrawText(" Help ", text, 0x825 | DT_CALCRECT);
    const int gapLeft = RoundHalfToEven(120 - (text.right - text.left) - 1);
    const int gapRight = gapLeft + (text.right - text.left);
    const int row = 7;  // 6 down, flat lines one more
    EXPECT_NE(RGB(255, 255, 255), line.At(gapLeft - 1, row));
    EXPECT_EQ(RGB(255, 255, 255), line.At(gapLeft + 1, row));
    EXPECT_EQ(RGB(255, 255, 255), line.At(gapRight - 1, row));
    EXPECT_NE(RGB(255, 255, 255), line.At(gapRight, row));

    // A short line stops 12 pixels before the item's full right edge (the 10-pixel reserve taken back).
    options.SeparatorStyle = ssShortLine;
    options.FlatLines = false;
    Surface shortLine(100, 12, RGB(255, 255, 255));
    DrawSeparatorItem(menu, separator, "", shortLine.canvas, RECT{0, 0, 90, 12}, 0);
    EXPECT_NE(RGB(255, 255, 255), shortLine.At(87, 5));
    EXPECT_EQ(RGB(255, 255, 255), shortLine.At(88, 5));
    EXPECT_EQ(RGB(255, 255, 255), shortLine.At(11, 5));
    EXPECT_NE(RGB(255, 255, 255), shortLine.At(12, 5));

    // Fade with flat lines: only the fade colour row.
    options.SeparatorStyle = ssNormal;
    options.Fade = true;
    options.FlatLines = true;
    options.FadeColor = RGB(0, 0, 0);
    Surface fade(100, 12, RGB(200, 200, 200));
    DrawSeparatorItem(menu, separator, "", fade.canvas, RECT{0, 0, 100, 12}, 0);
    EXPECT_EQ(RGB(0, 0, 0), fade.At(50, 4));
    EXPECT_EQ(RGB(200, 200, 200), fade.At(50, 5));
}

TEST(SkMeasure, SeparatorHeightsXpRoundingBarStripAndShortLineReserve) {
    TSkBarPopupMenu pm;
    comp::MenuItem& captioned = pm.Items.AddSeparator("Help");
    comp::MenuItem& disabled = pm.Items.AddSeparator("Hidden caption");
    disabled.Enabled = false;
    comp::MenuItem& item = pm.Items.Add("Item");
    comp::MenuItem& arrange = pm.Items.Add("Arrange by");
    comp::MenuItem& sub = arrange.Add("Name");
    Surface s(10, 10);
    auto measure = [&](comp::MenuItem& it, int w, int h) {
        pm.MenuItemMeasure(it, s.canvas, w, h);
        return std::make_pair(w, h);
    };

    pm.SetMenuStyle(msStandard);
    EXPECT_EQ(14, measure(captioned, 50, 8).second);
    EXPECT_EQ(12, measure(disabled, 50, 8).second);
    EXPECT_EQ(50 + 33, measure(captioned, 50, 8).first);  // only the bar strip
    pm.SetMenuStyle(msWindowsXP);
    EXPECT_EQ(9, measure(disabled, 50, 8).second);
    // XP: heights rounded up to even, two pixels wider; no image list and no glyph: 15 wider; the bar strip.
    EXPECT_EQ(std::make_pair(100 + 15 + 2 + 33, 18), measure(item, 100, 17));
    EXPECT_EQ(18, measure(item, 100, 18).second);
    EXPECT_EQ(100 + 15 + 2, measure(sub, 100, 18).first);  // submenu items never carry the bar

    // The short-line reserve follows the events; the bar strip comes whatever they say.
    pm.Separators().SeparatorStyle = ssShortLine;
    EXPECT_EQ(100 + 17 + 10 + 33, measure(item, 100, 18).first);
    TestModule module;
    pm.SetDrawModule(&module);
    int eventCalls = 0;
    pm.SetOnMeasureMenuItem([&](comp::Menu& sender, comp::MenuItem&, comp::Canvas&, int&, int&, bool barVisible,
                                bool& defaultMeasure) {
        ++eventCalls;
        EXPECT_EQ(&pm, &sender);
        EXPECT_TRUE(barVisible);
        defaultMeasure = false;
    });
    EXPECT_EQ(100 + 17 + 33, measure(item, 100, 18).first);
    EXPECT_EQ(1, eventCalls);
    EXPECT_EQ(0, module.measures);  // the event said no: the module is not asked
    pm.SetOnMeasureMenuItem(nullptr);
    module.keepDefault = false;
    EXPECT_EQ(100 + 17 + 33, measure(item, 100, 18).first);
    EXPECT_EQ(1, module.measures);
    pm.SetDrawModule(nullptr);

    // While measuring, the visible items that carry the bar add up to its height.
    pm.GetBarProtected().SetMeasuring(true);
    measure(item, 100, 20);
    measure(captioned, 100, 8);
    measure(sub, 100, 20);
    EXPECT_EQ(20 + 14, pm.GetBarProtected().Height());

    // An item after a visible column break carries no bar and adds nothing.
    comp::MenuItem& broken = pm.Items.Add("Second column");
    broken.Break = comp::MenuBreak::mbBreak;
    comp::MenuItem& after = pm.Items.Add("After");
    EXPECT_EQ(0, pm.GetBarProtected().Height());  // new top-level items start a new measuring pass
    EXPECT_EQ(100 + 17 + 10, measure(after, 100, 20).first);
    EXPECT_EQ(0, pm.GetBarProtected().Height());
    broken.Visible = false;
    EXPECT_EQ(100 + 17 + 10 + 33, measure(after, 100, 20).first);
}

TEST(SkDraw, BarStripSelectionBandAndCheckMarks) {
    TSkBarPopupMenu pm;
    pm.SetMenuStyle(msWindowsXP);
    pm.Bar().SetGradientStart(RGB(10, 200, 30));
    pm.Bar().SetGradientEnd(RGB(10, 200, 30));
    comp::MenuItem& first = pm.Items.Add("First");
    comp::MenuItem& second = pm.Items.Add("Second");
    Surface s(200, 40);
    int w = 100, h = 20;
    pm.GetBarProtected().SetMeasuring(true);
    pm.MenuItemMeasure(first, s.canvas, w, h);
    pm.MenuItemMeasure(second, s.canvas, w, h);

    s.canvas.SetBrushColor(comp::clHighlight);
    s.canvas.SetFontColor(comp::clHighlightText);
    pm.MenuItemAdvancedDraw(first, s.canvas, RECT{0, 0, 200, 20}, ODS_SELECTED);
    s.canvas.SetBrushColor(comp::clMenu);
    s.canvas.SetFontColor(comp::clMenuText);
    pm.MenuItemAdvancedDraw(second, s.canvas, RECT{0, 20, 200, 40}, 0);
    // The bar strip (32 wide) beside both items, then the one-pixel space, then the items.
    EXPECT_EQ(RGB(10, 200, 30), s.At(0, 5));
    EXPECT_EQ(RGB(10, 200, 30), s.At(31, 35));
    EXPECT_EQ(RGB(1, 2, 3), s.At(32, 5));
    EXPECT_EQ(Rgb(comp::clHighlight), s.At(34, 1));
    EXPECT_EQ(Rgb(comp::clHighlight), s.At(195, 18));
    EXPECT_EQ(Rgb(comp::clMenu), s.At(34, 21));
    EXPECT_EQ(40, pm.GetBarProtected().Height());
    EXPECT_TRUE(pm.GetBarProtected().Valid);

    // A checked item: with an image list and no image, the system's check mark; a radio item the library's
    // round mark; without an image list no mark at all.
    auto markPixels = [&](comp::MenuItem& item) {
        Surface t(200, 20);
        pm.MenuItemAdvancedDraw(item, t.canvas, RECT{0, 0, 200, 20}, ODS_CHECKED);
        int n = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 34; x < 54; ++x)
                if (t.At(x, y) == Rgb(comp::clBtnText)) ++n;
        return n;
    };
    comp::MenuItem& checked = pm.Items.Add("");  // no caption: only the mark is painted
    checked.Checked = true;
    comp::MenuItem& radio = pm.Items.Add("");
    radio.Checked = radio.RadioItem = true;
    EXPECT_EQ(0, markPixels(checked));
    comp::ImageList images(16, 16);
    pm.Images = &images;
    const int checkMark = markPixels(checked), radioMark = markPixels(radio);
    EXPECT_GT(checkMark, 5);
    EXPECT_GT(radioMark, 5);
    EXPECT_NE(checkMark, radioMark);
    pm.Images = nullptr;
}

TEST(SkDraw, ModuleFirstAndTheDrawHandlerComesBackAfterAFailure) {
    TSkBarPopupMenu pm;
    pm.Bar().SetGradientStart(RGB(10, 200, 30));
    pm.Bar().SetGradientEnd(RGB(10, 200, 30));
    comp::MenuItem& item = pm.Items.Add("Item");
    ASSERT_TRUE(item.OnAdvancedDrawItem);
    TestModule module;
    pm.SetDrawModule(&module);
    Surface s(150, 20, RGB(7, 7, 7));
    int w = 100, h = 20;
    pm.MenuItemMeasure(item, s.canvas, w, h);

    // A module that paints nothing and says no: the item area stays, the bar is painted.
    module.keepDefault = false;
    bool slotEmptyDuringPaint = false;
    pm.SetOnBeforeDrawBar(
        [&](comp::Menu&, comp::Canvas&, RECT, bool&) { slotEmptyDuringPaint = !item.OnAdvancedDrawItem; });
    // Called as the platform's dispatch calls it: through a copy of the item's handler.
    auto paint = [&] {
        comp::MenuItem::AdvancedDrawItemEvent handler = item.OnAdvancedDrawItem;
        handler(item, s.canvas, RECT{0, 0, 150, 20}, 0);
    };
    paint();
    EXPECT_EQ(1, module.draws);
    EXPECT_EQ(RGB(7, 7, 7), s.At(80, 10));
    EXPECT_EQ(RGB(10, 200, 30), s.At(10, 10));
    EXPECT_FALSE(slotEmptyDuringPaint);  // the bar comes after the handler is back

    // A paint that fails leaves the item hooked: the next paint is skinned again.
    module.throwOnDraw = true;
    EXPECT_THROW(paint(), comp::Exception);
    ASSERT_TRUE(item.OnAdvancedDrawItem);
    module.throwOnDraw = false;
    module.keepDefault = true;
    paint();
    EXPECT_EQ(3, module.draws);
    EXPECT_EQ(Rgb(comp::clMenu), s.At(80, 10));
}

TEST(SkSideBar, CacheEventsPartsBorderSideAndCaption) {
    TSkBarPopupMenu pm;
    ISkinMenusIntf& menu = *GetMenuIntf(&pm);
    pm.Bar().SetGradientStart(RGB(0, 0, 200));
    pm.Bar().SetGradientEnd(RGB(0, 0, 200));
    int afters = 0;
    pm.SetOnAfterDrawBar([&](comp::Menu&, comp::Canvas&, RECT) { ++afters; });
    auto paint = [&](Surface& s, RECT item) {
        pm.GetBarProtected().SetMeasuring(true);
        pm.GetBarProtected().SetHeight(60);
        DrawSideBar(menu, s.canvas, nullptr, item);
    };

    // Painted once, then copied from the cache while its size stays.
    Surface a(100, 60);
    paint(a, RECT{0, 0, 100, 20});
    EXPECT_EQ(1, afters);
    EXPECT_EQ(RGB(0, 0, 200), a.At(5, 50));
    pm.Bar().SetGradientStart(RGB(200, 0, 0));  // an option change alone leaves the cache as it is
    pm.Bar().SetGradientEnd(RGB(200, 0, 0));
    Surface b(100, 60);
    paint(b, RECT{0, 20, 100, 40});
    EXPECT_EQ(1, afters);
    EXPECT_EQ(RGB(0, 0, 200), b.At(5, 30));
    EXPECT_EQ(RGB(1, 2, 3), b.At(5, 10));  // only the rows beside the item
    pm.ResetBar();
    paint(b, RECT{0, 20, 100, 40});
    EXPECT_EQ(2, afters);
    EXPECT_EQ(RGB(200, 0, 0), b.At(5, 10));

    // OnBeforeDrawBar saying no: the handler's pixels stay, the picture is still copied, the event after
    // still comes.
    pm.SetOnBeforeDrawBar([](comp::Menu&, comp::Canvas& c, RECT r, bool& defaultDraw) {
        c.SetBrushColor(RGB(1, 250, 1));
        c.FillRect(r);
        defaultDraw = false;
    });
    pm.ResetBar();
    Surface c(100, 60);
    paint(c, RECT{0, 0, 100, 20});
    EXPECT_EQ(RGB(1, 250, 1), c.At(5, 50));
    EXPECT_EQ(3, afters);
    pm.SetOnBeforeDrawBar(nullptr);

    // Without the gradient part the other parts land on what the picture held; the border comes with the
    // background picture part only.
    pm.Bar().Border = RGB(255, 255, 0);
    pm.SetOnAdvancedBeforeDrawBar(
        [](comp::Menu&, comp::Canvas&, RECT, TBarParts& parts) { parts &= ~BarPart(bpGradient); });
    pm.ResetBar();
    Surface d(100, 60);
    paint(d, RECT{0, 0, 100, 20});
    EXPECT_EQ(RGB(255, 255, 0), d.At(0, 30));
    EXPECT_EQ(RGB(0, 0, 0), d.At(5, 30));  // a new picture is black where nothing painted it
    pm.SetOnAdvancedBeforeDrawBar(
        [](comp::Menu&, comp::Canvas&, RECT, TBarParts& parts) { parts &= ~BarPart(bpBackPicture); });
    pm.ResetBar();
    paint(d, RECT{0, 0, 100, 20});
    EXPECT_EQ(RGB(200, 0, 0), d.At(0, 30));
    pm.SetOnAdvancedBeforeDrawBar(nullptr);
    pm.Bar().Border = comp::clNone;

    // An opaque tiled background picture hides the gradient; a transparent one lets it through.
    comp::Bitmap tile(4, 4);
    tile.Fill(RGB(0, 255, 0));
    tile.SetPixel(1, 1, RGB(255, 0, 255));
    pm.Bar().BarBackPicture().SetPicture(&tile);
    pm.Bar().BarBackPicture().DrawStyle = dsTile;
    pm.Bar().BarBackPicture().SetTransparent(false);
    pm.ResetBar();
    Surface e(100, 60);
    paint(e, RECT{0, 0, 100, 20});
    EXPECT_EQ(RGB(255, 0, 255), e.At(1, 1));
    EXPECT_EQ(RGB(255, 0, 255), e.At(5, 41));
    EXPECT_EQ(RGB(0, 255, 0), e.At(6, 42));
    tile.SetPixel(0, 3, RGB(255, 0, 255));  // the bottom-left colour is the transparent one
    pm.Bar().BarBackPicture().SetPicture(&tile);
    pm.Bar().BarBackPicture().SetTransparent(true);
    pm.ResetBar();
    paint(e, RECT{0, 0, 100, 20});
    EXPECT_EQ(RGB(200, 0, 0), e.At(5, 41));
    EXPECT_EQ(RGB(0, 255, 0), e.At(6, 42));
    pm.Bar().BarBackPicture().SetPicture(nullptr);

    // On the right side the picture goes to the right edge of the item.
    pm.Bar().Side = sRight;
    pm.ResetBar();
    Surface f(100, 60, RGB(9, 9, 9));
    paint(f, RECT{0, 0, 100, 20});
    EXPECT_EQ(RGB(200, 0, 0), f.At(99, 10));
    EXPECT_EQ(RGB(200, 0, 0), f.At(68, 10));
    EXPECT_EQ(RGB(9, 9, 9), f.At(67, 10));
    pm.Bar().Side = sLeft;

    // The caption is written up the bar, above a bottom-aligned bar picture.
    comp::Bitmap picture(32, 20);
    picture.Fill(RGB(0, 0, 90));
    pm.Bar().BarPicture().SetPicture(&picture);
    pm.Bar().BarPicture().SetTransparent(false);
    pm.Bar().BarCaption().Caption = "Skin";
    pm.Bar().BarCaption().Font = comp::Font("Tahoma", -19, true, false, RGB(255, 255, 255));
    pm.ResetBar();
    pm.GetBarProtected().SetMeasuring(true);
    pm.GetBarProtected().SetHeight(160);
    Surface tall(100, 160);
    DrawSideBar(menu, tall.canvas, nullptr, RECT{0, 0, 100, 20});
    int lowest = -1, highest = 1000;
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 32; ++x)
            if (tall.At(x, y) == RGB(255, 255, 255)) {
                lowest = std::max(lowest, y);
                highest = std::min(highest, y);
            }
    EXPECT_EQ(RGB(0, 0, 90), tall.At(16, 150));
    ASSERT_GE(lowest, 0);
    EXPECT_LE(lowest, 160 - 6 - 20);  // OffsetY 6 above the picture
    EXPECT_GT(lowest - highest, 20);  // written along the bar
}

TEST(SkDraw, RightToLeftMenuDrawsItsTextFromTheRight) {
    TSkBarPopupMenu pm;
    pm.Bar().SetVisible(false);
    comp::MenuItem& item = pm.Items.Add("Wide caption");
    HWND rtlOwner = CreateWindowExA(WS_EX_RTLREADING | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 10, 10,
                                    nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, rtlOwner);
    // The leftmost and rightmost columns of text pixels of the item painted 300 wide.
    auto textColumns = [&] {
        Surface s(300, 20);
        pm.MenuItemAdvancedDraw(item, s.canvas, RECT{0, 0, 300, 20}, 0);
        std::pair<int, int> columns{300, -1};
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 300; ++x)
                if (s.At(x, y) == Rgb(comp::clMenuText)) {
                    columns.first = std::min(columns.first, x);
                    columns.second = std::max(columns.second, x);
                }
        return columns;
    };
    const auto leftToRight = textColumns();
    ASSERT_GE(leftToRight.second, 0);
    EXPECT_LT(leftToRight.second, 150);
    // The owner reads right to left, and the menu takes its reading order from it.
    pm.SetOwner(rtlOwner);
    EXPECT_TRUE(pm.IsRightToLeft());
    const auto rightToLeft = textColumns();
    EXPECT_GT(rightToLeft.first, 150);
    EXPECT_EQ(leftToRight.second - leftToRight.first, rightToLeft.second - rightToLeft.first);
    // A reading order of the menu's own goes before its owner's.
    pm.SetBiDiMode(comp::BiDiMode::bdLeftToRight);
    EXPECT_EQ(leftToRight, textColumns());
    DestroyWindow(rtlOwner);
}

TEST(SkSideBar, ThePictureChangesDepthBeforeItsCanvasOpens) {
    TSkBarPopupMenu pm;
    comp::Bitmap& image = pm.GetBarProtected().GetBitmap();
    ASSERT_EQ(comp::PixelFormat::pf24bit, image.Format());
    // The bitmap the canvas holds while the bar is painted is the one the picture keeps: the 32-bit rows
    // of the gradient came before the canvas saved its DC.
    HBITMAP whilePainting = nullptr;
    pm.SetOnBeforeDrawBar([&](comp::Menu&, comp::Canvas&, RECT, bool&) { whilePainting = image.Handle(); });
    pm.GetBarProtected().SetMeasuring(true);
    pm.GetBarProtected().SetHeight(40);
    Surface s(100, 40);
    DrawSideBar(*GetMenuIntf(&pm), s.canvas, nullptr, RECT{0, 0, 100, 20});
    ASSERT_NE(nullptr, whilePainting);
    EXPECT_EQ(whilePainting, image.Handle());
    EXPECT_EQ(comp::PixelFormat::pf32bit, image.Format());
}

TEST(SkSideBar, AnEmptyPictureStillRaisesTheBarEventsAndBecomesValid) {
    TSkBarPopupMenu pm;
    pm.Bar().Width = 0;
    int befores = 0, advanced = 0, afters = 0;
    pm.SetOnBeforeDrawBar([&](comp::Menu&, comp::Canvas&, RECT, bool&) { ++befores; });
    pm.SetOnAdvancedBeforeDrawBar([&](comp::Menu&, comp::Canvas&, RECT, TBarParts&) { ++advanced; });
    pm.SetOnAfterDrawBar([&](comp::Menu&, comp::Canvas&, RECT) { ++afters; });
    pm.GetBarProtected().SetMeasuring(true);
    pm.GetBarProtected().SetHeight(40);
    Surface s(100, 40);
    DrawSideBar(*GetMenuIntf(&pm), s.canvas, nullptr, RECT{0, 0, 100, 20});
    EXPECT_TRUE(pm.GetBarProtected().GetBitmap().Empty());
    EXPECT_EQ(1, befores);
    EXPECT_EQ(1, advanced);
    EXPECT_EQ(1, afters);
    EXPECT_TRUE(pm.GetBarProtected().Valid);
    EXPECT_EQ(RGB(1, 2, 3), s.At(0, 10));
}
