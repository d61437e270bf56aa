// The colour selector and its palette: how each paints (raised, pressed, focused; cells, custom cell,
// separator, mark), the palette's hit tests, and the real windows driven by messages: pressing and moving
// out, the palette dropped under the button, choices by either button at the click point, the custom cell,
// Space and Enter, losing the activation, and the system colour dialog.
#include "ColorForm.h"
#include "ColorSelector.h"
#include "components/bitmap.h"
#include "components/dialog.h"
#include "test_dialogs.h"
#include "test_windows.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr COLORREF kGray = 0x808080, kWhite = 0xFFFFFF, kBlack = 0, kLight = 0xDFDFDF;
constexpr COLORREF kNavy = 0x800000;

comp::Bitmap PaintedSelector(COLORREF color, bool pressed, bool focused) {
    comp::Bitmap b(42, 21);
    PaintColorSelector(b.Canvas(), 42, 21, color, pressed, focused);
    return b;
}

comp::Bitmap PaintedPalette(COLORREF current, TPaletteCell hot) {
    comp::Bitmap b(kPaletteWidth, kPaletteHeight);
    PaintColorPalette(b.Canvas(), kPaletteWidth, kPaletteHeight, current, hot);
    return b;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// The middle of a palette cell.
LPARAM CellCentre(int column, int row) {
    RECT r = PaletteCellRect(column, row);
    return At((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

comp::DialogParams HostParams() {
    comp::DialogParams p;
    p.className = "TColorTestForm";
    p.caption = "Colours";
    p.clientWidth = 200;
    p.clientHeight = 100;
    return p;
}

// A shown form holding a selector at (10, 10), counting its events.
class SelectorFixture : public testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<comp::Dialog>(HostParams());
        ok = &form->AddButton("OK", 100, 60, 75, 25, true);
        ok->Result = comp::mrOk;
        selector = std::make_unique<TColorSelector>(form->Handle(), 10, 10);
        selector->OnChangeColor = [this](TColorSelector& s) {
            ++changes;
            colourAtChange = s.Color();
        };
        selector->OnClick = [this](TColorSelector&) { ++clicks; };
        form->Show(SW_SHOWNORMAL);
        SetForegroundWindow(form->Handle());
        testing_support::Pump(50);
    }
    void TearDown() override {
        selector.reset();
        form.reset();
    }
    HWND Sel() const { return selector->Handle(); }
    void Press(LPARAM where) { SendMessageA(Sel(), WM_LBUTTONDOWN, MK_LBUTTON, where); }
    void Release(LPARAM where) { SendMessageA(Sel(), WM_LBUTTONUP, 0, where); }
    void ClickSelector() {
        Press(At(5, 5));
        Release(At(5, 5));
    }
    bool PaletteShown() const { return selector->Palette() && IsWindowVisible(selector->Palette()->Handle()); }

    std::unique_ptr<comp::Dialog> form;
    comp::Button* ok = nullptr;
    std::unique_ptr<TColorSelector> selector;
    int changes = 0, clicks = 0;
    COLORREF colourAtChange = 0;
};

}  // namespace

TEST(ColorSelectorLook, RaisedPressedAndFocused) {
    const COLORREF c = RGB(0, 200, 100);
    comp::Bitmap raised = PaintedSelector(c, false, false);
    // The swatch (6, 5)-(26, 16) in its black border (5, 4)-(27, 17).
    EXPECT_EQ(c, raised.Pixel(6, 5));
    EXPECT_EQ(c, raised.Pixel(25, 15));
    EXPECT_EQ(kBlack, raised.Pixel(26, 15));
    EXPECT_EQ(kBlack, raised.Pixel(5, 4));
    EXPECT_EQ(kBlack, raised.Pixel(26, 16));
    EXPECT_NE(kBlack, raised.Pixel(27, 16));
    // The etched separator at x = 30 and 31.
    EXPECT_EQ(kGray, raised.Pixel(30, 3));
    EXPECT_EQ(kGray, raised.Pixel(30, 16));
    EXPECT_EQ(kWhite, raised.Pixel(31, 3));
    EXPECT_EQ(kWhite, raised.Pixel(31, 17));
    // The arrow's corners (33, 9), (37, 9), (35, 11).
    EXPECT_EQ(kBlack, raised.Pixel(33, 9));
    EXPECT_EQ(kBlack, raised.Pixel(37, 9));
    EXPECT_NE(kBlack, raised.Pixel(38, 9));
    EXPECT_EQ(kBlack, raised.Pixel(35, 11));
    EXPECT_NE(kBlack, raised.Pixel(34, 11));
    EXPECT_NE(kBlack, raised.Pixel(35, 12));

    comp::Bitmap pressed = PaintedSelector(c, true, false);
    EXPECT_EQ(kBlack, pressed.Pixel(6, 5));
    EXPECT_EQ(c, pressed.Pixel(7, 6));
    EXPECT_EQ(c, pressed.Pixel(26, 16));
    EXPECT_EQ(kBlack, pressed.Pixel(27, 17));
    EXPECT_EQ(kGray, pressed.Pixel(31, 4));
    EXPECT_EQ(kWhite, pressed.Pixel(32, 18));
    EXPECT_EQ(kBlack, pressed.Pixel(34, 10));
    EXPECT_NE(kBlack, pressed.Pixel(33, 9));

    // The focus rectangle runs inside the edge: raised from (3, 3), pressed from (4, 4).
    comp::Bitmap focused = PaintedSelector(c, false, true);
    int differing = 0;
    for (int x = 3; x < 39; ++x) differing += focused.Pixel(x, 3) != raised.Pixel(x, 3);
    EXPECT_GT(differing, 10);
    comp::Bitmap focusedPressed = PaintedSelector(c, true, true);
    differing = 0;
    for (int x = 4; x < 40; ++x) differing += focusedPressed.Pixel(x, 4) != pressed.Pixel(x, 4);
    EXPECT_GT(differing, 10);
}

TEST(ColorPaletteLook, CellsSeparatorOtherButtonAndMark) {
    comp::Bitmap navy = PaintedPalette(kNavy, InitialHotCell(kNavy));
    // The red cell (1, 2) at (4, 22)-(20, 38): two sunken rings, then the colour.
    EXPECT_EQ(kGray, navy.Pixel(4, 30));
    EXPECT_EQ(kGray, navy.Pixel(10, 22));
    EXPECT_EQ(kWhite, navy.Pixel(19, 30));
    EXPECT_EQ(kWhite, navy.Pixel(10, 37));
    EXPECT_EQ(kBlack, navy.Pixel(5, 30));
    EXPECT_EQ(kLight, navy.Pixel(18, 30));
    EXPECT_EQ(RGB(255, 0, 0), navy.Pixel(6, 24));
    EXPECT_EQ(RGB(255, 0, 0), navy.Pixel(17, 35));
    // The mark on navy, cell (2, 4) at (22, 58)-(38, 74): black outside, white on the edge, black inside.
    EXPECT_EQ(kBlack, navy.Pixel(21, 66));
    EXPECT_EQ(kWhite, navy.Pixel(22, 66));
    EXPECT_EQ(kBlack, navy.Pixel(23, 66));
    EXPECT_EQ(kNavy, navy.Pixel(30, 66));
    EXPECT_EQ(kBlack, navy.Pixel(38, 66));
    // The separator: gray from 4 to 73 at y = 95, white from 4 to 72 at y = 96, closed in gray at (73, 96).
    EXPECT_EQ(kGray, navy.Pixel(4, 95));
    EXPECT_EQ(kGray, navy.Pixel(73, 95));
    EXPECT_EQ(kWhite, navy.Pixel(4, 96));
    EXPECT_EQ(kWhite, navy.Pixel(72, 96));
    EXPECT_EQ(kGray, navy.Pixel(73, 96));
    // No custom cell: "&Other..." reaches x = 65 and draws over where the cell would be.
    comp::Bitmap plain = PaintedPalette(kNavy, kNoCell);
    EXPECT_NE(kBlack, plain.Pixel(21, 66));
    const COLORREF face = plain.Pixel(60, 108);
    EXPECT_EQ(face, plain.Pixel(62, 104));
    EXPECT_NE(face, plain.Pixel(64, 108));  // the button's right edge
    EXPECT_EQ(face, plain.Pixel(65, 108));

    const COLORREF odd = RGB(1, 2, 3);
    comp::Bitmap custom = PaintedPalette(odd, InitialHotCell(odd));
    EXPECT_EQ(odd, custom.Pixel(60, 102));
    EXPECT_EQ(odd, custom.Pixel(71, 113));
    EXPECT_EQ(kBlack, custom.Pixel(57, 108));  // marked
    EXPECT_EQ(kWhite, custom.Pixel(58, 108));
    // "&Other..." now ends at 56, left of the cell.
    EXPECT_NE(face, custom.Pixel(55, 108));
    EXPECT_EQ(face, custom.Pixel(56, 108));
}

TEST(ColorPaletteRules, HotCellAndHitTests) {
    EXPECT_EQ((TPaletteCell{2, 4}), InitialHotCell(kNavy));
    EXPECT_EQ((TPaletteCell{1, 1}), InitialHotCell(kWhite));
    EXPECT_EQ((TPaletteCell{4, 5}), InitialHotCell(0xA4A0A0));
    EXPECT_TRUE(InitialHotCell(RGB(1, 2, 3)).IsCustom());
    EXPECT_EQ(0x00FFFFu, PaletteColor(3, 2));  // yellow
    EXPECT_EQ(RGB(1, 2, 3), CellColor(kCustomCell, RGB(1, 2, 3)));

    const int W = kPaletteWidth, H = kPaletteHeight;
    EXPECT_EQ((TPaletteCell{1, 1}), PaletteHitTest(3, 3, W, H, false));
    EXPECT_TRUE(PaletteHitTest(2, 10, W, H, false).IsNone());
    // Cells (1, 1) and (2, 1) both take x = 21 (grown by 2): the left one wins; x = 22 is (2, 1) alone.
    EXPECT_EQ((TPaletteCell{1, 1}), PaletteHitTest(21, 10, W, H, false));
    EXPECT_EQ((TPaletteCell{2, 1}), PaletteHitTest(22, 10, W, H, false));
    EXPECT_EQ((TPaletteCell{3, 1}), PaletteHitTest(40, 21, W, H, false));  // the upper one
    EXPECT_EQ((TPaletteCell{4, 5}), PaletteHitTest(75, 93, W, H, false));
    EXPECT_TRUE(PaletteHitTest(76, 93, W, H, false).IsNone());
    // The custom cell (58, 100)-(74, 116), strictly inside, only while shown.
    EXPECT_TRUE(PaletteHitTest(59, 101, W, H, true).IsCustom());
    EXPECT_TRUE(PaletteHitTest(58, 101, W, H, true).IsNone());
    EXPECT_TRUE(PaletteHitTest(59, 101, W, H, false).IsNone());
    EXPECT_EQ(65, OtherButtonRight(false));
    EXPECT_EQ(56, OtherButtonRight(true));
}

TEST_F(SelectorFixture, PressingMovingOutAndBackAndReleasingOutside) {
    EXPECT_EQ(42, selector->ClientWidth());
    EXPECT_EQ(21, selector->ClientHeight());
    EXPECT_EQ(kBlack, selector->Color());
    Press(At(5, 5));
    EXPECT_TRUE(selector->LooksPressed());
    EXPECT_EQ(Sel(), GetFocus());
    EXPECT_TRUE(selector->Focused());
    SendMessageA(Sel(), WM_MOUSEMOVE, MK_LBUTTON, At(60, 5));
    EXPECT_FALSE(selector->LooksPressed());
    SendMessageA(Sel(), WM_MOUSEMOVE, MK_LBUTTON, At(20, 10));
    EXPECT_TRUE(selector->LooksPressed());
    SendMessageA(Sel(), WM_MOUSEMOVE, MK_LBUTTON, At(60, 5));
    Release(At(60, 5));
    EXPECT_FALSE(selector->Pressed());
    EXPECT_EQ(nullptr, selector->Palette());
    EXPECT_EQ(0, clicks);
    // Other buttons change nothing.
    SendMessageA(Sel(), WM_RBUTTONDOWN, MK_RBUTTON, At(5, 5));
    EXPECT_FALSE(selector->Pressed());
}

TEST_F(SelectorFixture, ThePaletteDropsUnderTheButtonAndReportsTheCellClicked) {
    ClickSelector();
    ASSERT_TRUE(PaletteShown());
    EXPECT_EQ(1, clicks);
    TColorForm& palette = *selector->Palette();
    RECT r;
    GetWindowRect(palette.Handle(), &r);
    POINT corner = {0, 21};
    ClientToScreen(Sel(), &corner);
    EXPECT_EQ(corner.x, r.left);
    EXPECT_EQ(corner.y, r.top);
    EXPECT_EQ(78, r.right - r.left);
    EXPECT_EQ(120, r.bottom - r.top);
    EXPECT_EQ(kBlack, palette.CurrentColor());
    EXPECT_EQ((TPaletteCell{2, 1}), palette.HotCell());
    EXPECT_TRUE(GetWindowLongA(palette.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    // The mouse marks white; the button goes down on green without a move first: green is chosen.
    SendMessageA(palette.Handle(), WM_MOUSEMOVE, 0, CellCentre(1, 1));
    EXPECT_EQ((TPaletteCell{1, 1}), palette.HotCell());
    SendMessageA(palette.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, CellCentre(2, 3));
    EXPECT_EQ(0x008000u, selector->Color());
    EXPECT_EQ(1, changes);
    EXPECT_EQ(0x008000u, colourAtChange);  // raised after the colour changed
    EXPECT_FALSE(PaletteShown());

    // The right button chooses as the left does; each click makes a fresh palette.
    ClickSelector();
    ASSERT_TRUE(PaletteShown());
    EXPECT_EQ((TPaletteCell{2, 3}), selector->Palette()->HotCell());
    SendMessageA(selector->Palette()->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, CellCentre(4, 4));
    EXPECT_EQ(0x800080u, selector->Color());
    EXPECT_EQ(2, changes);

    // The colour already chosen raises nothing; a click on the separator neither chooses nor closes.
    ClickSelector();
    SendMessageA(selector->Palette()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(30, 95));
    EXPECT_TRUE(PaletteShown());
    SendMessageA(selector->Palette()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, CellCentre(4, 4));
    EXPECT_EQ(2, changes);
    EXPECT_FALSE(PaletteShown());

    // A colour set from code raises nothing; the palette then shows it in the custom cell, which reports it.
    selector->SetColor(RGB(1, 2, 3));
    EXPECT_EQ(2, changes);
    ClickSelector();
    EXPECT_TRUE(selector->Palette()->CustomShown());
    EXPECT_TRUE(selector->Palette()->HotCell().IsCustom());
    SendMessageA(selector->Palette()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(66, 108));
    EXPECT_EQ(RGB(1, 2, 3), selector->Color());
    EXPECT_EQ(2, changes);
    EXPECT_FALSE(PaletteShown());
}

TEST_F(SelectorFixture, SpaceEnterAndLosingTheActivation) {
    SetFocus(Sel());
    SendMessageA(Sel(), WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_TRUE(selector->LooksPressed());
    EXPECT_TRUE(selector->SpaceHeld());
    EXPECT_EQ(nullptr, selector->Palette());
    SendMessageA(Sel(), WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_FALSE(selector->LooksPressed());
    ASSERT_TRUE(PaletteShown());
    EXPECT_EQ(selector->Palette()->Handle(), GetActiveWindow());

    // Another window takes the activation: the palette closes without a choice.
    SetActiveWindow(form->Handle());
    testing_support::Pump(30);
    EXPECT_FALSE(PaletteShown());
    EXPECT_EQ(0, changes);
    EXPECT_EQ(Sel(), GetFocus());  // the form gives the focus back to the selector

    // Enter in the running form drops the palette instead of pressing the form's default button.
    bool shown = false;
    int result = 0;
    testing_support::RunWithSteps([&] { result = form->ShowModal(); },
                                  {
                                      [&] {
                                          SetFocus(Sel());
                                          PostMessageA(Sel(), WM_KEYDOWN, VK_RETURN, 1);
                                          PostMessageA(Sel(), WM_KEYUP, VK_RETURN, 0xC0000001);
                                      },
                                      [&] {
                                          shown = PaletteShown();
                                          SetActiveWindow(form->Handle());
                                          PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
                                      },
                                  },
                                  40);
    EXPECT_TRUE(shown);
    EXPECT_EQ(comp::mrCancel, result);
}

TEST_F(SelectorFixture, OtherOpensTheSystemColourDialog) {
    TColorForm palette(form->Handle());
    std::vector<COLORREF> reported;
    palette.OnSelectColor = [&](TColorForm&, COLORREF c) { reported.push_back(c); };
    palette.SetCurrentColor(RGB(10, 20, 30));
    palette.ShowAt(100, 100);
    bool dialogSeen = false;
    testing_support::RunWithSteps(
        [&] { SendMessageA(palette.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(10, 108)); },
        {[&] {
            HWND dialog = testing_support::FindThreadDialog();
            dialogSeen = dialog != nullptr;
            EXPECT_FALSE(IsWindowVisible(palette.Handle()));  // closed when the dialog took the focus
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        }},
        60, [] { return testing_support::FindThreadDialog() != nullptr; });
    EXPECT_TRUE(dialogSeen);
    ASSERT_EQ(1u, reported.size());
    EXPECT_EQ(RGB(10, 20, 30), reported[0]);  // the dialog started at the current colour
    EXPECT_FALSE(IsWindowVisible(palette.Handle()));

    // Cancelled: nothing reported, the palette closed all the same.
    palette.ShowAt(100, 100);
    testing_support::RunWithSteps(
        [&] { SendMessageA(palette.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, At(20, 112)); },
        {[&] { PostMessageA(testing_support::FindThreadDialog(), WM_COMMAND, IDCANCEL, 0); }}, 60,
        [] { return testing_support::FindThreadDialog() != nullptr; });
    EXPECT_EQ(1u, reported.size());
    EXPECT_FALSE(IsWindowVisible(palette.Handle()));
}
