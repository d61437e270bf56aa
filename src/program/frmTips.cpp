// The tips form.
#include "frmTips.h"

#include "shared/uOptionsShared.h"
#include "uTips.h"

const char* const kTipsFormClass = "TformTips";

static HWND tipsOwner = nullptr;

void SetTipsOwner(HWND owner) { tipsOwner = owner; }

static comp::DialogParams TipsFormParams() {
    comp::DialogParams p;
    p.className = kTipsFormClass;
    p.caption = "Tips";
    p.clientWidth = 430;
    p.clientHeight = 220;
    return p;
}

// The picture behind the tip: a soft blue band with the product's name, white where the memo lies.
static HBITMAP MakeTipsPicture(int width, int height) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    if (!bitmap) {
        DeleteDC(dc);
        return nullptr;
    }
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    for (int x = 0; x < width; ++x) {
        int t = x * 255 / (width > 1 ? width - 1 : 1);
        HBRUSH b = CreateSolidBrush(RGB(40 + t / 3, 70 + t / 3, 140 + t / 3));
        RECT r = {x, 0, x + 1, height};
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    RECT white = {72, 40, width - 1, height - 1};
    FillRect(dc, &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HFONT font = CreateFontA(-20, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT title = {80, 8, width - 8, 38};
    DrawTextA(dc, "Did you know...", -1, &title, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    return bitmap;
}

TformTips::TformTips(HWND owner)
    : comp::Dialog(TipsFormParams(), owner),
      Image1(AddImage(8, 8, 416, 177)),
      mTips(AddMemo(80, 48, 337, 129, true, false)),
      cbAgain(AddCheckBox("Show this screen again", 8, 192, 160, 17)),
      btBack(AddButton("Back", 190, 189, 75, 25)),
      btNext(AddButton("Next", 270, 189, 75, 25, true)),
      btClose(AddButton("Close", 350, 189, 75, 25, false, true)) {
    Image1.SetBitmap(MakeTipsPicture(416, 177));
    // The memo lies on the picture: keep it above.
    SetWindowPos(mTips.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    btBack.OnClick = [this](comp::Button&) { btBackClick(); };
    btNext.OnClick = [this](comp::Button&) { btNextClick(); };
    btClose.Result = comp::mrCancel;
    cbAgain.OnClick = [this](comp::CheckBox&) { cbAgainClick(); };
    FormCreate();
}

LRESULT TformTips::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The read-only memo stays white, as the picture under it.
    if (msg == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == mTips.Handle()) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, RGB(255, 255, 255));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    return comp::Dialog::HandleMessage(msg, wParam, lParam);
}

void TformTips::FormCreate() {
    cbAgain.SetChecked(Settings.Tips);
    ShowTip();
}

void TformTips::ShowTip() {
    btBack.SetEnabled(CurrentTip > 1);
    btNext.SetEnabled(CurrentTip < kTipCount);
    mTips.Clear();
    mTips.SetText(TipText(CurrentTip));
}

void TformTips::btBackClick() {
    --CurrentTip;
    ShowTip();
}

void TformTips::btNextClick() {
    ++CurrentTip;
    ShowTip();
}

void TformTips::cbAgainClick() { Settings.Tips = cbAgain.Checked(); }

void ShowTips() {
    if (FindWindowA(kTipsFormClass, nullptr)) return;
    TformTips form(tipsOwner);
    // Saved however the form closes; an error that saving raises goes to the caller's handler after the
    // form is freed (the form is a local: it goes first). The check box is the record's again right before
    // saving: a settings dialog opened meanwhile loads the record anew from the registry.
    bool saved = false;
    try {
        form.ShowModal();
    } catch (...) {
        Settings.Tips = form.cbAgain.Checked();
        SaveSettings();
        saved = true;
        throw;
    }
    if (!saved) {
        Settings.Tips = form.cbAgain.Checked();
        SaveSettings();
    }
}
