// The notification-area icon component.
#include "TrayIcon.h"

#include <shellapi.h>

#include <cstring>

// The hidden window that receives the shell's notifications. It is an ordinary hidden top-level window,
// so that the "TaskbarCreated" broadcast reaches it as well.
class TTrayIcon::IconWindowImpl : public comp::Window {
public:
    explicit IconWindowImpl(TTrayIcon& owner) : owner_(owner) {
        comp::WindowParams p;
        p.className = "TTrayIconWindow";
        p.style = WS_POPUP;
        p.exStyle = WS_EX_TOOLWINDOW;
        p.x = p.y = p.width = p.height = 0;
        Create(p);
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        bool handled = false;
        LRESULT result = owner_.IconWndProc(msg, wParam, lParam, handled);
        return handled ? result : DefaultHandler(msg, wParam, lParam);
    }

private:
    TTrayIcon& owner_;
};

TTrayIcon::TTrayIcon(HWND owner) : owner_(owner) {
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    iconWindow_ = std::make_unique<IconWindowImpl>(*this);
    std::memset(&iconData_, 0, sizeof iconData_);
    iconData_.cbSize = kNotifyIconDataSize;
    iconData_.hWnd = iconWindow_->Handle();
    iconData_.uID = 1;
    iconData_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    iconData_.uCallbackMessage = kTrayCallbackMessage;

    cycleTimer_.SetEnabled(false);
    cycleTimer_.OnTimer = [this](comp::Timer&) { CycleTimerTick(); };
    clickTimer_.SetEnabled(false);
    clickTimer_.SetInterval(GetDoubleClickTime());
    clickTimer_.OnTimer = [this](comp::Timer&) { ClickTimerTick(); };

    if (owner_ && IsWindow(owner_))
        ownerHooked_ = SetWindowSubclass(owner_, &TTrayIcon::OwnerHook, 1, reinterpret_cast<DWORD_PTR>(this)) != 0;
}

TTrayIcon::~TTrayIcon() {
    comp::Quietly([&] {
        SetIconVisible(false);
        SetDesignPreview(false);
    });
    if (ownerHooked_ && IsWindow(owner_)) RemoveWindowSubclass(owner_, &TTrayIcon::OwnerHook, 1);
    cycleTimer_.SetEnabled(false);
    clickTimer_.SetEnabled(false);
    iconWindow_.reset();
    if (icon_) DestroyIcon(icon_);
}

HWND TTrayIcon::IconWindow() const { return iconWindow_ ? iconWindow_->Handle() : nullptr; }

void TTrayIcon::Loaded() {
    if (owner_ && StartMinimized) ShowWindow(owner_, SW_HIDE);
    UpdateTrayIcon();
    SetIconVisible(iconVisible_);
}

// ---- properties

void TTrayIcon::SetDesignPreview(bool value) {
    designPreview_ = value;
    // The shell is told, but the icon's own visibility is not changed by a preview.
    settingPreview_ = true;
    comp::Quietly([&] { SetIconVisible(value); });
    settingPreview_ = false;
}

void TTrayIcon::SetIconList(HIMAGELIST list) {
    iconList_ = list;
    SetIconIndex(0);
}

void TTrayIcon::SetCycleIcons(bool value) {
    cycleIcons_ = value;
    if (value) SetIconIndex(0);
    cycleTimer_.SetEnabled(value);
}

void TTrayIcon::SetCycleInterval(UINT value) {
    cycleInterval_ = value;
    cycleTimer_.SetInterval(value);
}

void TTrayIcon::SetHint(const std::string& value) {
    hint_ = value;
    UpdateTrayIcon();
}

void TTrayIcon::SetShowHint(bool value) {
    showHint_ = value;
    UpdateTrayIcon();
}

void TTrayIcon::SetIcon(HICON icon) {
    HICON copy = icon ? CopyIcon(icon) : nullptr;
    if (icon_) DestroyIcon(icon_);
    icon_ = copy;
    UpdateTrayIcon();
}

void TTrayIcon::SetIconVisible(bool value) {
    if (value) AddTrayIcon();
    else DeleteTrayIcon();
}

void TTrayIcon::SetIconIndex(int value) {
    int count = iconList_ ? ImageList_GetImageCount(iconList_) : 0;
    if (count > 0) {
        if (value >= count) value = count - 1;
        if (value < 0) value = 0;
        iconIndex_ = value;
        HICON icon = ImageList_GetIcon(iconList_, iconIndex_, ILD_NORMAL);
        if (icon) {
            if (icon_) DestroyIcon(icon_);
            icon_ = icon;
        }
    } else {
        // No list, or an empty one: there is no icon to take; the current one stays.
        iconIndex_ = 0;
    }
    UpdateTrayIcon();
}

// ---- shell calls

bool TTrayIcon::PrepareIconData() {
    iconData_.hIcon = icon_;
    std::memset(iconData_.szTip, 0, sizeof iconData_.szTip);
    if (!hint_.empty() && showHint_) {
        size_t n = hint_.size() < 127 ? hint_.size() : 127;
        std::memcpy(iconData_.szTip, hint_.data(), n);
    }
    return true;
}

bool TTrayIcon::ShellCall(DWORD message) {
    if (!PrepareIconData()) return false;
    return Shell_NotifyIconA(message, &iconData_) != FALSE;
}

bool TTrayIcon::AddTrayIcon() {
    if (!settingPreview_) iconVisible_ = true;
    return ShellCall(NIM_ADD);
}

bool TTrayIcon::DeleteTrayIcon() {
    if (!settingPreview_) iconVisible_ = false;
    return ShellCall(NIM_DELETE);
}

bool TTrayIcon::UpdateTrayIcon() { return ShellCall(NIM_MODIFY); }

// ---- events

void TTrayIcon::DoClick() {
    if (OnClick) OnClick(*this);
}
void TTrayIcon::DoDblClick() {
    if (OnDblClick) OnDblClick(*this);
}
void TTrayIcon::DoCycle() {
    int count = iconList_ ? ImageList_GetImageCount(iconList_) : 0;
    int next = count > iconIndex_ ? iconIndex_ + 1 : 0;
    if (OnCycle) OnCycle(*this, next);
}
void TTrayIcon::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
}
void TTrayIcon::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}
void TTrayIcon::DoMouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(*this, shift, x, y);
}
void TTrayIcon::DoMinimizeToTray() {
    HideMainForm();
    SetIconVisible(true);
}

void TTrayIcon::HideMainForm() {
    if (owner_ && IsWindow(owner_)) ShowWindow(owner_, SW_HIDE);
}

// ---- the icon window

static TShiftState KeyboardShift() {
    TShiftState s = 0;
    if (GetAsyncKeyState(VK_SHIFT) < 0) s |= comp::ssShift;
    if (GetAsyncKeyState(VK_MENU) < 0) s |= comp::ssAlt;
    if (GetAsyncKeyState(VK_CONTROL) < 0) s |= comp::ssCtrl;
    return s;
}

static POINT CursorPos() {
    POINT p = {0, 0};
    GetCursorPos(&p);
    return p;
}

LRESULT TTrayIcon::IconWndProc(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (msg) {
        case WM_DESTROY:
        case WM_CLOSE:
        case WM_QUERYENDSESSION:
        case WM_QUIT:
        case WM_USERCHANGED:
            return 1;
        case kTrayCallbackMessage:
            if (Enabled) HandleCallback(static_cast<UINT>(lParam));
            return 0;
        default:
            break;
    }
    if (taskbarCreated_ != 0 && msg == taskbarCreated_) {
        // The shell came back: show the icon again. When the shell still knows it, adding fails; then
        // bring it up to date instead.
        if (iconVisible_ && !AddTrayIcon()) UpdateTrayIcon();
        return 0;
    }
    handled = false;  // WM_NCDESTROY is left to the window layer, which needs it
    return 0;
}

void TTrayIcon::HandleCallback(UINT mouseMessage) {
    POINT p;
    switch (mouseMessage) {
        case WM_MOUSEMOVE:
            p = CursorPos();
            DoMouseMove(KeyboardShift(), p.x, p.y);
            break;
        case WM_LBUTTONDOWN:
            if (!clickTimer_.Enabled()) clickTimer_.SetEnabled(true);
            p = CursorPos();
            DoMouseDown(comp::MouseButton::mbLeft, KeyboardShift() | comp::ssLeft, p.x, p.y);
            clickStart_ = true;
            if (LeftPopup) PopupAtCursor();
            break;
        case WM_LBUTTONUP:
            if (clickStart_) clickReady_ = true;
            if (clickStart_ && !clickTimer_.Enabled()) {
                clickStart_ = false;
                clickReady_ = false;
                DoClick();
            }
            clickStart_ = false;
            p = CursorPos();
            DoMouseUp(comp::MouseButton::mbLeft, KeyboardShift(), p.x, p.y);
            break;
        case WM_LBUTTONDBLCLK:
            clickReady_ = false;
            dblClicked_ = true;
            DoDblClick();
            if (PopupMenu && !LeftPopup) {
                for (size_t i = 0; i < PopupMenu->Items.Count(); ++i) {
                    comp::MenuItem& item = PopupMenu->Items.Item(i);
                    if (item.Default) {
                        item.Click();
                        break;
                    }
                }
            }
            break;
        case WM_RBUTTONDOWN:
            p = CursorPos();
            DoMouseDown(comp::MouseButton::mbRight, KeyboardShift() | comp::ssRight, p.x, p.y);
            PopupAtCursor();
            break;
        case WM_RBUTTONUP:
            p = CursorPos();
            DoMouseUp(comp::MouseButton::mbRight, KeyboardShift(), p.x, p.y);
            break;
        case WM_MBUTTONDOWN:
            p = CursorPos();
            DoMouseDown(comp::MouseButton::mbMiddle, KeyboardShift() | comp::ssMiddle, p.x, p.y);
            break;
        case WM_MBUTTONUP:
            p = CursorPos();
            DoMouseUp(comp::MouseButton::mbMiddle, KeyboardShift(), p.x, p.y);
            break;
        default:
            break;
    }
}

void TTrayIcon::ClickTimerTick() {
    clickTimer_.SetEnabled(false);
    if (!dblClicked_ && clickReady_) {
        clickReady_ = false;
        DoClick();
    }
    dblClicked_ = false;
}

void TTrayIcon::CycleTimerTick() {
    if (!iconList_) return;
    int count = ImageList_GetImageCount(iconList_);
    if (count <= 0) return;
    HICON icon = ImageList_GetIcon(iconList_, iconIndex_, ILD_NORMAL);
    if (icon) {
        if (icon_) DestroyIcon(icon_);
        icon_ = icon;
    }
    DoCycle();
    UpdateTrayIcon();
    SetIconIndex(iconIndex_ < count - 1 ? iconIndex_ + 1 : 0);
}

void TTrayIcon::PopupAtCursor() {
    if (!PopupMenu) return;
    POINT p;
    if (!GetCursorPos(&p)) return;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            break;
        }
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    SetForegroundWindow(IconWindow());
    if (owner_ && IsWindow(owner_)) SetForegroundWindow(owner_);
    PopupMenu->PopupAt(p.x, p.y);
    if (owner_ && IsWindow(owner_)) PostMessageA(owner_, WM_NULL, 0, 0);
}

// The owner is shown by a call: an owner that was minimised to the notification area comes back at its
// normal size, in front.
void TTrayIcon::OwnerShown(HWND hwnd) {
    if (IsIconic(hwnd) && !restoringOwner_) {
        // The restore shows the window too: should that come back here while the window still counts
        // as minimised, once is enough.
        restoringOwner_ = true;
        ShowWindow(hwnd, SW_RESTORE);
        restoringOwner_ = false;
    }
    SetForegroundWindow(hwnd);
}

LRESULT CALLBACK TTrayIcon::OwnerHook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data) {
    auto* self = reinterpret_cast<TTrayIcon*>(data);
    comp::Guarded([&] {
        if (msg == WM_SIZE && wParam == SIZE_MINIMIZED && self->MinimizeToTray) self->DoMinimizeToTray();
        else if (msg == WM_SHOWWINDOW && wParam == 1 && lParam == 0) self->OwnerShown(hwnd);
    });
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}
