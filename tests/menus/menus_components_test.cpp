// The skinned menu components: option objects, the bar state, hooking, the draw module's links, the menu
// window's alpha and shape, the main menu, the platform flags, and a real popup read back from the screen and
// asked to pop up again while it is open.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "components/form.h"
#include "menus/SkDrawModule.h"
#include "menus/SkExceptions.h"
#include "menus/SkMenuWindow.h"
#include "menus/SkinMenus.h"
#include "menus_test_support.h"
#include "test_windows.h"

using menus_test::Rgb;
using menus_test::Surface;

namespace {

class NullModule : public TSkMenusDrawModule {
public:
    void DrawItem(comp::MenuItem&, comp::Canvas&, RECT, comp::OwnerDrawState, bool, bool&) override {}
    void MeasureItem(comp::MenuItem&, comp::Canvas&, int&, int&, bool, bool&) override {}
    using TSkMenusDrawModule::Changed;
};

void CALLBACK CloseOpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (HWND m = FindWindowA("#32768", nullptr)) PostMessageA(m, WM_KEYDOWN, VK_ESCAPE, 0);
}

std::string MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const comp::Exception& e) {
        return e.what();
    }
    return "(nothing raised)";
}

// A plain top-level window to stand for a menu's drop-down window.
struct PopupWindow {
    PopupWindow() {
        window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 10, 10, 120, 90, nullptr, nullptr, nullptr,
                                 nullptr);
    }
    ~PopupWindow() { DestroyWindow(window); }
    HWND window;
};

}  // namespace

TEST(SkOptions, DefaultsOwnersIndexesAndMessages) {
    TSkBarPopupMenu pm;
    EXPECT_EQ(vaBottom, pm.Bar().BarPicture().VertAlignment);
    EXPECT_EQ(haCenter, pm.Bar().BarPicture().HorzAlignment);
    EXPECT_EQ(vaTop, pm.Bar().BarBackPicture().VertAlignment);
    EXPECT_EQ(haLeft, pm.Bar().BarBackPicture().HorzAlignment);
    EXPECT_EQ(0xD8BDAFu, pm.Bar().GradientStart());
    EXPECT_EQ(comp::clGray, pm.Separators().GradientStart());
    EXPECT_EQ(msAuto, pm.MenuStyle());

    EXPECT_EQ("Tried to create TSkBar with no owner.", MessageOf([] { TSkBar bar(nullptr); }));
    EXPECT_EQ("Tried to create TSkBarBackPicture with no owner.", MessageOf([] { TSkBarBackPicture p(nullptr); }));
    EXPECT_EQ("Tried to create TSkSeparators with no owner.", MessageOf([] { TSkSeparators s(nullptr); }));
    EXPECT_EQ("Tried to create TSkBarProtected with no owner.", MessageOf([] { TSkBarProtected b(nullptr); }));
    EXPECT_EQ("(nothing raised)", MessageOf([] { TSkBarCaption c(nullptr); }));
    EXPECT_EQ("Invalid property index 2.", MessageOf([&] { pm.Bar().GetGradientColor(2); }));
    EXPECT_THROW(pm.Separators().SetGradientColor(-1, 0), EInvalidPropertyIndex);
}

TEST(SkOptions, AssignPicturesAndPositions) {
    TSkBarPopupMenu a, b;
    comp::Bitmap picture(3, 4);
    b.Bar().Width = 40;
    b.Bar().BarPicture().SetPicture(&picture);
    b.Bar().BarPicture().Visible = false;
    b.Bar().BarBackPicture().DrawStyle = dsStretch;
    b.Bar().BarCaption().Caption = "Caption";
    b.Bar().BarCaption().Visible = false;
    b.Bar().SetGradientEnd(RGB(1, 2, 3));
    b.Separators().Fade = true;
    b.Separators().SeparatorStyle = ssCaption;
    a.SetBar(b.Bar());
    a.SetSeparators(b.Separators());
    // The values come over; the visibility of the parts, the draw style and the fade settings stay.
    EXPECT_EQ(40, a.Bar().Width);
    EXPECT_EQ(3, a.Bar().BarPicture().Picture().Width());
    EXPECT_EQ("Caption", a.Bar().BarCaption().Caption);
    EXPECT_EQ(RGB(1, 2, 3), a.Bar().GradientEnd());
    EXPECT_TRUE(a.Bar().BarPicture().Visible);
    EXPECT_EQ(dsNormal, a.Bar().BarBackPicture().DrawStyle);
    EXPECT_TRUE(a.Bar().BarCaption().Visible);
    EXPECT_EQ(ssCaption, a.Separators().SeparatorStyle);
    EXPECT_FALSE(a.Separators().Fade);

    // Assigning read the source's pictures: b's background picture exists now, empty.
    EXPECT_TRUE(b.Bar().BarBackPicture().HasPicture());
    // Reading a picture that never had one gives an empty one, owned from then on; nil frees it.
    TSkBarPopupMenu c;
    TSkBarPicture& p = c.Bar().BarBackPicture();
    EXPECT_FALSE(p.HasPicture());
    EXPECT_TRUE(p.Picture().Empty());
    EXPECT_TRUE(p.HasPicture());
    p.SetPicture(nullptr);
    EXPECT_FALSE(p.HasPicture());

    // Positions in the bar: a picture taller than the bar starts above it; centring rounds toward zero.
    comp::Bitmap tall(35, 300);
    TSkBarPicture& q = a.Bar().BarPicture();
    q.SetPicture(&tall);
    q.OffsetX = 2;
    q.OffsetY = 5;
    a.Bar().Width = 32;
    a.GetBarProtected().SetHeight(200);
    int x = 0, y = 0;
    q.GetPosition(x, y);
    EXPECT_EQ(-100 + 5, y);
    EXPECT_EQ(-1 + 2, x);
    q.VertAlignment = vaMiddle;
    q.HorzAlignment = haRight;
    q.GetPosition(x, y);
    EXPECT_EQ(-50 + 5, y);
    EXPECT_EQ(32 + 2 - 35, x);
}

TEST(SkBarState, VisibleResetModuleAndChangesMarkThePictureStale) {
    TSkBarPopupMenu pm;
    TSkBarProtected& state = pm.GetBarProtected();
    EXPECT_TRUE(state.Measuring());
    EXPECT_FALSE(state.Valid);
    auto shown = [&] {
        state.GetBitmap().SetSize(32, 50);
        state.SetMeasuring(false);
        state.SetHeight(50);
        state.Valid = true;
    };

    // Bar.Visible false drops the picture at once; true again only stores the value.
    shown();
    pm.Bar().SetVisible(false);
    EXPECT_FALSE(state.HasBitmap());
    EXPECT_TRUE(state.Measuring());
    EXPECT_EQ(0, state.Height());
    EXPECT_FALSE(state.Valid);
    shown();
    pm.Bar().SetVisible(true);
    EXPECT_TRUE(state.Valid);
    EXPECT_TRUE(pm.Bar().Visible());

    // A popup starts a new measuring pass and keeps the picture.
    shown();
    SetTimer(nullptr, 0, 200, CloseOpenMenu);
    comp::MenuItem& top = pm.Items.Add("Top");
    shown();
    bool measuringAtPopup = false, pictureAtPopup = false;
    pm.OnPopup = [&](comp::PopupMenu&) {
        measuringAtPopup = state.Measuring() && state.Height() == 0;
        // Seen before any item is drawn: the drawing would make a picture anew.
        pictureAtPopup = state.HasBitmap();
    };
    pm.PopupAtPoint(POINT{50, 50});
    EXPECT_TRUE(measuringAtPopup);
    EXPECT_TRUE(pictureAtPopup);

    // A new top-level item marks the picture stale; a new submenu item does not.
    shown();
    top.Add("Sub");
    EXPECT_TRUE(state.Valid);
    pm.Items.Add("Another");
    EXPECT_FALSE(state.Valid);
    EXPECT_TRUE(state.Measuring());

    // RefreshMenu with ResetBar: a new pass, stale, the picture kept.
    shown();
    pm.RefreshMenu(true, false);
    EXPECT_FALSE(state.Valid);
    EXPECT_TRUE(state.HasBitmap());
}

TEST(SkHooking, OwnHandlersStayAndNewItemsAreSkinned) {
    TSkBarPopupMenu pm;
    pm.BeginLoading();
    comp::MenuItem& plain = pm.Items.Add("Plain");
    comp::MenuItem& ownDraw = pm.Items.Add("Own draw");
    int ownDraws = 0, ownMeasures = 0;
    ownDraw.OnDrawItem = [&](comp::MenuItem&, comp::Canvas&, RECT, bool) { ++ownDraws; };
    comp::MenuItem& ownMeasure = pm.Items.Add("Own measure");
    ownMeasure.OnMeasureItem = [&](comp::MenuItem&, comp::Canvas&, int&, int&) { ++ownMeasures; };
    comp::MenuItem& sub = plain.Add("Sub");
    // Nothing is hooked while the menu is loading.
    EXPECT_FALSE(plain.OnAdvancedDrawItem);
    pm.EndLoading();

    EXPECT_TRUE(plain.OnAdvancedDrawItem && plain.OnMeasureItem);
    EXPECT_TRUE(sub.OnAdvancedDrawItem && sub.OnMeasureItem);
    EXPECT_FALSE(ownDraw.OnAdvancedDrawItem);  // keeps its own painting
    EXPECT_TRUE(ownDraw.OnMeasureItem);
    EXPECT_TRUE(ownMeasure.OnAdvancedDrawItem);
    Surface s(10, 10);
    int w = 0, h = 0;
    ownMeasure.OnMeasureItem(ownMeasure, s.canvas, w, h);
    EXPECT_EQ(1, ownMeasures);

    // An item added at run time is skinned.
    comp::MenuItem& later = plain.Add("Later");
    EXPECT_TRUE(later.OnAdvancedDrawItem && later.OnMeasureItem);
    // An item hooked once keeps its hook, also when another menu of the same class hooks it without
    // keeping own handlers: it is still measured as an item of its own menu, whose bar it carries (the
    // other menu shows no bar).
    TSkBarPopupMenu other;
    other.Bar().SetVisible(false);
    comp::MenuItem& others = other.Items.Add("Other's");
    ASSERT_TRUE(others.OnAdvancedDrawItem && others.OnMeasureItem);
    HookMenuItems(other, &plain, false, others.OnMeasureItem, others.OnAdvancedDrawItem, false);
    pm.GetBarProtected().SetMeasuring(true);
    w = 50;
    h = 20;
    comp::MenuItem::MeasureItemEvent measure = plain.OnMeasureItem;
    measure(plain, s.canvas, w, h);
    EXPECT_EQ(20, pm.GetBarProtected().Height());
}

TEST(SkDrawModuleLinks, AttachChangedAndNeitherSideOutlivesTheOther) {
    TSkBarPopupMenu first;
    {
        NullModule module;
        first.SetDrawModule(&module);
        EXPECT_EQ(&first, module.Menu());
        first.GetBarProtected().GetBitmap();
        module.Changed();  // the menu takes the module again and drops its picture
        EXPECT_FALSE(first.GetBarProtected().HasBitmap());
        EXPECT_EQ(&module, first.DrawModule());
        first.SetDrawModule(nullptr);
        EXPECT_EQ(nullptr, module.Menu());
        first.GetBarProtected().GetBitmap();
        module.Changed();  // detached: nothing happens
        EXPECT_TRUE(first.GetBarProtected().HasBitmap());

        // A module moved to a second menu: the first one lets go of it.
        first.SetDrawModule(&module);
        TSkBarPopupMenu second;
        second.SetDrawModule(&module);
        EXPECT_EQ(nullptr, first.DrawModule());
        EXPECT_EQ(&second, module.Menu());
        first.SetDrawModule(&module);
        EXPECT_EQ(nullptr, second.DrawModule());
    }
    // The module went first: the menu forgets it.
    EXPECT_EQ(nullptr, first.DrawModule());

    // The menu goes first: the module forgets it.
    NullModule survivor;
    {
        TSkCustomBarMainMenu menu;
        GetMenuIntf(&menu)->SetDrawModule(&survivor);
        EXPECT_EQ(&menu, survivor.Menu());
    }
    EXPECT_EQ(nullptr, survivor.Menu());
    survivor.Changed();  // nothing to reach, nothing fails
}

TEST(SkMenuWindow, AlphaOnceRegionMarkerAndEffects) {
    TSkBarPopupMenu pm;
    ISkinMenusIntf& menu = *GetMenuIntf(&pm);
    {
        PopupWindow w;
        ApplyMenuAlpha(menu, w.window, 255);
        EXPECT_FALSE(GetWindowLongA(w.window, GWL_EXSTYLE) & WS_EX_LAYERED);
        ApplyMenuAlpha(menu, w.window, 200);
        ApplyMenuAlpha(menu, w.window, 100);  // already layered: left alone
        BYTE alpha = 0;
        DWORD flags = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(w.window, nullptr, &alpha, &flags));
        EXPECT_EQ(200, alpha);
    }
    {
        // A main menu's windows are never made translucent.
        TSkCustomBarMainMenu mainMenu;
        PopupWindow w;
        ApplyMenuAlpha(*GetMenuIntf(&mainMenu), w.window, 100);
        EXPECT_FALSE(GetWindowLongA(w.window, GWL_EXSTYLE) & WS_EX_LAYERED);
    }
    {
        // Without CustomFrame nothing; with it the plain rectangle once, marked in the user data.
        PopupWindow w;
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ShapeMenuWindow(menu, w.window);
        EXPECT_EQ(ERROR, GetWindowRgn(w.window, region));
        menu.SetCustomFrame(true);
        ShapeMenuWindow(menu, w.window);
        EXPECT_EQ(SIMPLEREGION, GetWindowRgn(w.window, region));
        RECT box;
        GetRgnBox(region, &box);
        EXPECT_EQ(120, box.right);
        EXPECT_EQ(90, box.bottom);
        EXPECT_EQ(1, GetWindowLongPtrA(w.window, GWLP_USERDATA) & 1);
        DeleteObject(region);
    }
    {
        // Cut corners and the shadow: the top-right corner is gone, the shape reaches 4 pixels further.
        SetMenuWindowEffects(weShadow | weCutCorners);
        PopupWindow w;
        ShapeMenuWindow(menu, w.window);
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(ERROR, GetWindowRgn(w.window, region));
        EXPECT_FALSE(PtInRegion(region, 118, 1));
        EXPECT_TRUE(PtInRegion(region, 60, 45));
        EXPECT_TRUE(PtInRegion(region, 122, 92));
        EXPECT_FALSE(PtInRegion(region, 2, 88));
        DeleteObject(region);
        SetMenuWindowEffects(0);
    }
}

TEST(SkMainMenu, BarColumnStyleRefreshAndWindowReports) {
    comp::Form form;
    comp::WindowParams p;
    p.style = WS_OVERLAPPEDWINDOW;
    p.x = p.y = 10;
    p.width = 300;
    p.height = 200;
    form.CreateForm(p);
    TSkCustomBarMainMenu menu;
    ISkinMenusIntf& intf = *GetMenuIntf(&menu);
    menu.BeginLoading();
    comp::MenuItem& file = menu.Items.Add("File");
    comp::MenuItem& open = file.Add("Open");
    comp::MenuItem& edit = menu.Items.Add("Edit");
    comp::MenuItem& copy = edit.Add("Copy");
    menu.EndLoading();
    menu.Attach(form.Handle());
    ASSERT_NE(nullptr, GetMenu(form.Handle()));
    EXPECT_TRUE(open.OnAdvancedDrawItem);

    // Only the first visible menu-bar item's drop-down carries the bar.
    Surface s(10, 10);
    auto width = [&](comp::MenuItem& item) {
        int w = 100, h = 20;
        menu.MenuItemMeasure(item, s.canvas, w, h);
        return w;
    };
    const int withBar = width(open), without = width(copy);
    EXPECT_EQ(33, withBar - without);
    file.Visible = false;
    EXPECT_EQ(withBar, width(copy));
    EXPECT_EQ(without, width(open));
    file.Visible = true;

    // The same style again does nothing; another one builds the bar again.
    intf.SetMenuStyle(msAuto);
    HMENU before = GetMenu(form.Handle());
    intf.SetMenuStyle(msAuto);
    EXPECT_EQ(before, GetMenu(form.Handle()));
    intf.SetMenuStyle(msStandard);
    EXPECT_NE(before, GetMenu(form.Handle()));
    EXPECT_EQ(msStandard, intf.GetActiveMenuStyle());

    // Reports of drawing windows change nothing on a main menu; the form's own window is never shaped.
    HMENU bar = GetMenu(form.Handle());
    intf.SetMenuWindow(reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(form.Handle(), menu.WindowHandle());
    EXPECT_EQ(bar, GetMenu(form.Handle()));
    intf.SetCustomFrame(true);
    ShapeMenuWindow(intf, form.Handle());
    EXPECT_EQ(0, GetWindowLongPtrA(form.Handle(), GWLP_USERDATA) & 1);

    // Bar.Visible on an attached main menu builds the bar again.
    before = GetMenu(form.Handle());
    intf.GetBar().SetVisible(false);
    EXPECT_NE(before, GetMenu(form.Handle()));
    menu.Detach();
}

TEST(SkPlatform, FlagsAndTheAutomaticStyle) {
    const DWORD nt = VER_PLATFORM_WIN32_NT, win9x = VER_PLATFORM_WIN32_WINDOWS;
    EXPECT_TRUE(PlatformFlagsFor(5, 1, nt).IsWinXP);
    EXPECT_FALSE(PlatformFlagsFor(5, 0, nt).IsWinXP);
    EXPECT_TRUE(PlatformFlagsFor(5, 0, nt).IsWin2000);
    EXPECT_FALSE(PlatformFlagsFor(6, 0, nt).IsWinXP);
    EXPECT_TRUE(PlatformFlagsFor(6, 1, nt).IsWinXP);
    EXPECT_TRUE(PlatformFlagsFor(4, 10, win9x).IsWin98);
    EXPECT_FALSE(PlatformFlagsFor(4, 10, win9x).IsWin2000);
    EXPECT_FALSE(PlatformFlagsFor(4, 0, win9x).IsWin98);
    EXPECT_EQ(msWindowsXP, ResolveMenuStyle(msAuto, true));
    EXPECT_EQ(msStandard, ResolveMenuStyle(msAuto, false));
    EXPECT_EQ(msStandard, ResolveMenuStyle(msStandard, true));
    TSkBarPopupMenu pm;
    EXPECT_EQ(msAuto, GetMenuIntf(&pm)->GetMenuStyle());
    EXPECT_NE(msAuto, GetMenuIntf(&pm)->GetActiveMenuStyle());
}

namespace {
struct ScreenProbe {
    HWND menuWindow = nullptr;
    RECT client = {};
    POINT origin = {};
    COLORREF bar = CLR_INVALID, item = CLR_INVALID, band = CLR_INVALID;
    int tries = 0;
} probe;

// Reads the open menu's pixels from the screen once it is painted, then closes it.
void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
    HWND m = FindWindowA("#32768", nullptr);
    ++probe.tries;
    if (m) {
        GetClientRect(m, &probe.client);
        probe.origin = {0, 0};
        ClientToScreen(m, &probe.origin);
        HDC screen = GetDC(nullptr);
        probe.bar = GetPixel(screen, probe.origin.x + 10, probe.origin.y + probe.client.bottom / 2);
        probe.item = GetPixel(screen, probe.origin.x + probe.client.right - 6, probe.origin.y + 40);
        probe.band = GetPixel(screen, probe.origin.x + 40, probe.origin.y + 4);
        ReleaseDC(nullptr, screen);
        probe.menuWindow = m;
    }
    if ((m && probe.bar == RGB(200, 30, 30)) || probe.tries > 100) {
        KillTimer(nullptr, id);
        if (m) PostMessageA(m, WM_KEYDOWN, VK_ESCAPE, 0);
    }
}
}  // namespace

TEST(SkPopupOnScreen, TheOpenMenuShowsTheBarTheItemsAndTheCaptionBand) {
    TSkBarPopupMenu pm;
    pm.Bar().SetGradientStart(RGB(200, 30, 30));
    pm.Bar().SetGradientEnd(RGB(200, 30, 30));
    pm.Separators().SeparatorStyle = ssCaption;
    pm.Separators().SetGradientStart(RGB(30, 200, 30));
    pm.Separators().SetGradientEnd(RGB(30, 200, 30));
    pm.Items.AddSeparator("Group");
    for (const char* caption : {"First", "Second", "Third", "Fourth"}) pm.Items.Add(caption);
    SetCursorPos(0, 0);  // not over an item: nothing is selected
    SetTimer(nullptr, 0, 100, ReadOpenMenu);
    pm.PopupAt(200, 150);
    ASSERT_NE(nullptr, probe.menuWindow) << "the menu never opened";
    EXPECT_EQ(RGB(200, 30, 30), probe.bar);
    EXPECT_EQ(Rgb(comp::clMenu), probe.item);
    EXPECT_EQ(RGB(30, 200, 30), probe.band);
    // The bar is as high as the menu window's client area, and the menu knows the window it drew in.
    EXPECT_EQ(probe.client.bottom, pm.GetBarProtected().Height());
    EXPECT_EQ(probe.menuWindow, pm.MenuWindow());
}

TEST(SkPopupOnScreen, AskedToPopUpWhileOpenTheMenuKeepsItsMeasuredBar) {
    TSkBarPopupMenu pm;
    for (const char* caption : {"First", "Second", "Third"}) pm.Items.Add(caption);
    TSkBarProtected& state = pm.GetBarProtected();
    int heightShown = -1;
    bool measuring = true;
    int heightAfter = -1;
    testing_support::RunWithSteps([&] { pm.PopupAt(200, 150); },
                                  {[&] {
                                      // A message handled inside the menu loop asks for the menu again.
                                      heightShown = state.Height();
                                      EXPECT_EQ(nullptr, pm.PopupAt(220, 170));
                                      measuring = state.Measuring();
                                      heightAfter = state.Height();
                                      PostMessageA(FindWindowA("#32768", nullptr), WM_KEYDOWN, VK_ESCAPE, 0);
                                  }},
                                  100, [&] { return FindWindowA("#32768", nullptr) && !state.Measuring(); });
    EXPECT_GT(heightShown, 0);  // the bar of the open menu was measured
    EXPECT_FALSE(measuring);
    EXPECT_EQ(heightShown, heightAfter);
}
