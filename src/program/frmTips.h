// The tips dialog: one tip at a time with Back and Next, and "Show this screen again" for the Tips
// setting.
#pragma once

#include "components/dialog.h"

#include <windows.h>

// The form's class name: at most one such window is open at a time.
extern const char* const kTipsFormClass;  // "TformTips"

class TformTips : public comp::Dialog {
public:
    explicit TformTips(HWND owner);

    void ShowTip();
    void btBackClick();
    void btNextClick();
    void cbAgainClick();

    comp::Image& Image1;
    comp::Memo& mTips;
    comp::CheckBox& cbAgain;
    comp::Button& btBack;
    comp::Button& btNext;
    comp::Button& btClose;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate();
};

// The window that owns the dialog (the program's hidden main window); 0 when none.
void SetTipsOwner(HWND owner);
// Opens the dialog modally unless one is open; saves the settings when it closes.
void ShowTips();
