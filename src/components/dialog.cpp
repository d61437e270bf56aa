// The modal form and its message loop.
#include "dialog.h"

#include "exceptions.h"

namespace comp {

static int& ModalDepth() {
    static int depth = 0;
    return depth;
}

bool Dialog::ModalLoopRunning() { return ModalDepth() > 0; }

Dialog::Dialog(const DialogParams& params, HWND owner) : owner_(owner) {
    font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | (params.sizeable ? WS_THICKFRAME : 0);
    DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT r = {0, 0, params.clientWidth, params.clientHeight};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    int width = r.right - r.left, height = r.bottom - r.top;
    // Centred on the screen.
    int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

    WindowParams p;
    p.className = params.className;
    p.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    p.style = style;
    p.exStyle = exStyle;
    p.caption = params.caption;
    p.x = left;
    p.y = top;
    p.width = width;
    p.height = height;
    p.parent = owner;  // an owner, not a parent: the form is top-level
    Create(p);
}

Dialog::~Dialog() {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) delete *it;
    controls_.clear();
    Destroy();
}

void Dialog::Adopt(Control* control) {
    controls_.reserve(controls_.size() + 1);
    controls_.push_back(control);
}

Button& Dialog::AddButton(const std::string& caption, int left, int top, int width, int height, bool isDefault,
                          bool isCancel) {
    Button& b = AddControl<Button>(caption, left, top, width, height, isDefault, isCancel);
    if (isDefault && !defaultButton_) defaultButton_ = &b;
    if (isCancel && !cancelButton_) cancelButton_ = &b;
    return b;
}

CheckBox& Dialog::AddCheckBox(const std::string& caption, int left, int top, int width, int height) {
    return AddControl<CheckBox>(caption, left, top, width, height);
}

Label& Dialog::AddLabel(const std::string& caption, int left, int top, int width, int height) {
    return AddControl<Label>(caption, left, top, width, height);
}

Image& Dialog::AddImage(int left, int top, int width, int height) {
    return AddControl<Image>(left, top, width, height);
}

Memo& Dialog::AddMemo(int left, int top, int width, int height, bool readOnly, bool border) {
    return AddControl<Memo>(left, top, width, height, readOnly, border);
}

void Dialog::PressDefault() {
    if (!defaultButton_) return;
    if (!defaultButton_->Enabled()) return;
    defaultButton_->Click();
    if (defaultButton_->Result != mrNone) modalResult_ = defaultButton_->Result;
}

void Dialog::PressCancel() {
    if (cancelButton_) {
        if (!cancelButton_->Enabled()) return;
        cancelButton_->Click();
        if (cancelButton_->Result != mrNone) modalResult_ = cancelButton_->Result;
        return;
    }
    modalResult_ = mrCancel;
}

LRESULT Dialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case DM_GETDEFID:
            if (defaultButton_ && defaultButton_->Enabled())
                return MAKELRESULT(defaultButton_->Id(), DC_HASDEFID);
            return 0;
        case WM_COMMAND: {
            if (lParam) {
                Control* control = Control::FromHandle(reinterpret_cast<HWND>(lParam));
                if (control && HIWORD(wParam) == BN_CLICKED) {
                    if (auto* button = dynamic_cast<Button*>(control)) {
                        button->Click();
                        if (button->Result != mrNone) modalResult_ = button->Result;
                        return 0;
                    }
                }
                if (Control::DispatchCommand(wParam, lParam)) return 0;
            }
            // Enter and Escape from the dialog manager when no control took them.
            if (LOWORD(wParam) == IDOK) PressDefault();
            else if (LOWORD(wParam) == IDCANCEL) PressCancel();
            return 0;
        }
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (Control::DispatchNotify(lParam, result)) return result;
            return DefaultHandler(msg, wParam, lParam);
        }
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (lParam && Control::DispatchScroll(wParam, lParam)) return 0;
            return DefaultHandler(msg, wParam, lParam);
        case WM_ACTIVATE:
            // The focus goes back to the control that had it when another window (a drop-down, a system
            // dialog) took the activation.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
                return 0;
            }
            if (lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_) && IsWindowEnabled(lastFocus_) &&
                IsWindowVisible(lastFocus_)) {
                ::SetFocus(lastFocus_);
                return 0;
            }
            return DefaultHandler(msg, wParam, lParam);
        case WM_CLOSE:
            modalResult_ = mrCancel;
            return 0;
        default:
            return DefaultHandler(msg, wParam, lParam);
    }
}

int Dialog::ShowModal() {
    if (!Handle()) return mrCancel;
    modalResult_ = mrNone;
    if (OnCreate) OnCreate(*this);

    bool ownerWasEnabled = false;
    if (owner_ && IsWindow(owner_)) {
        ownerWasEnabled = IsWindowEnabled(owner_) != FALSE;
        EnableWindow(owner_, FALSE);
    }
    Show(SW_SHOWNORMAL);
    SetForegroundWindow(Handle());
    HWND firstTab = GetNextDlgTabItem(Handle(), nullptr, FALSE);
    lastFocus_ = nullptr;
    if (defaultButton_ && defaultButton_->Enabled()) ::SetFocus(defaultButton_->Handle());
    else if (firstTab) ::SetFocus(firstTab);
    // A failure while the form fills itself is reported; the form stays open.
    Guarded([&] {
        if (OnShow) OnShow(*this);
    });

    ++ModalDepth();
    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    while (modalResult_ == mrNone && Handle()) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = msg.wParam;
            modalResult_ = mrCancel;
            break;
        }
        if (got < 0) {
            modalResult_ = mrCancel;
            break;
        }
        if (Handle() && IsDialogMessageA(Handle(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    --ModalDepth();

    Quietly([&] {
        if (OnClose) OnClose(*this);
    });
    if (owner_ && IsWindow(owner_) && ownerWasEnabled) EnableWindow(owner_, TRUE);
    if (Handle()) Hide();
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return modalResult_ == mrNone ? mrCancel : modalResult_;
}

}  // namespace comp
