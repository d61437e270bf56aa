// Form message handling.
#include "form.h"

#include "menus.h"

#include <windowsx.h>

namespace comp {

ShiftState KeyboardShiftState(bool withButtons) {
    ShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    if (withButtons) {
        if (GetKeyState(VK_LBUTTON) < 0) s |= ssLeft;
        if (GetKeyState(VK_RBUTTON) < 0) s |= ssRight;
        if (GetKeyState(VK_MBUTTON) < 0) s |= ssMiddle;
    }
    return s;
}

static ShiftState MouseShiftState(WPARAM wParam) {
    ShiftState s = 0;
    if (wParam & MK_SHIFT) s |= ssShift;
    if (wParam & MK_CONTROL) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    if (wParam & MK_LBUTTON) s |= ssLeft;
    if (wParam & MK_RBUTTON) s |= ssRight;
    if (wParam & MK_MBUTTON) s |= ssMiddle;
    return s;
}

Form::Form() = default;

Form::~Form() {
    Destroy();
    if (brush_) DeleteObject(brush_);
}

void Form::CreateForm(WindowParams params) {
    if (params.className.empty()) params.className = "comp.Form";
    params.classStyle |= CS_DBLCLKS;
    Create(params);
}

void Form::DoCreate() {
    if (created_) return;
    created_ = true;
    if (OnCreate) OnCreate(*this);
}

void Form::DoDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (OnDestroy) OnDestroy(*this);
}

void Form::SetColor(COLORREF color) {
    color_ = color;
    if (brush_) DeleteObject(brush_);
    brush_ = nullptr;
    if (Handle()) Invalidate();
}

void Form::SetCursor(TCursor cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    if (!Handle()) return;
    // Shown now only while the cursor is over the form (or the form holds the mouse): the platform asks
    // again with WM_SETCURSOR whenever it moves.
    POINT at{};
    if (!GetCursorPos(&at)) return;
    if (GetCapture() != Handle() && WindowFromPoint(at) != Handle()) return;
    HCURSOR shape = CursorHandle(cursor);
    ::SetCursor(shape ? shape : reinterpret_cast<HCURSOR>(GetClassLongPtrA(Handle(), GCLP_HCURSOR)));
}

void Form::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    if (OnPaint) {
        try {
            OnPaint(*this);
        } catch (...) {
            EndPaint(Handle(), &ps);
            throw;
        }
    }
    (void)dc;
    EndPaint(Handle(), &ps);
}

bool Form::MouseButtonMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    ShiftState shift = MouseShiftState(wParam);
    MouseButton button;
    bool down = false, dbl = false;
    switch (msg) {
        case WM_LBUTTONDOWN: button = MouseButton::mbLeft; down = true; break;
        case WM_LBUTTONDBLCLK: button = MouseButton::mbLeft; down = true; dbl = true; break;
        case WM_RBUTTONDOWN: button = MouseButton::mbRight; down = true; break;
        case WM_RBUTTONDBLCLK: button = MouseButton::mbRight; down = true; dbl = true; break;
        case WM_MBUTTONDOWN: button = MouseButton::mbMiddle; down = true; break;
        case WM_MBUTTONDBLCLK: button = MouseButton::mbMiddle; down = true; dbl = true; break;
        case WM_LBUTTONUP: button = MouseButton::mbLeft; break;
        case WM_RBUTTONUP: button = MouseButton::mbRight; break;
        case WM_MBUTTONUP: button = MouseButton::mbMiddle; break;
        default: return false;
    }
    if (down) {
        if (CaptureMouse) SetCapture(Handle());
        if (dbl) {
            shift |= ssDouble;
            if (button == MouseButton::mbLeft && OnDblClick) OnDblClick(*this);
        }
        if (button == MouseButton::mbLeft) clickArmed_ = !dbl;
        if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
    } else {
        bool click = false;
        if (button == MouseButton::mbLeft && clickArmed_) {
            clickArmed_ = false;
            RECT r = ClientRect();
            POINT pt = {x, y};
            click = PtInRect(&r, pt) != 0;
        }
        if (CaptureMouse && GetCapture() == Handle() && !(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)))
            ReleaseCapture();
        if (click && OnClick) OnClick(*this);
        if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
    }
    return true;
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND: {
            if (!brush_) brush_ = CreateSolidBrush(color_);
            RECT r = ClientRect();
            FillRect(reinterpret_cast<HDC>(wParam), &r, brush_);
            return 1;
        }
        case WM_PAINT:
            Paint();
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            WORD key = static_cast<WORD>(wParam);
            const KeyEvent& handler = (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) ? OnKeyDown : OnKeyUp;
            if (handler) handler(*this, key, KeyboardShiftState());
            if (key == 0) return 0;
            return DefaultHandler(msg, key, lParam);
        }
        case WM_CHAR: {
            char key = static_cast<char>(wParam);
            if (OnKeyPress) OnKeyPress(*this, key);
            if (key == 0) return 0;
            return DefaultHandler(msg, static_cast<unsigned char>(key), lParam);
        }
        case WM_MOUSEMOVE:
            if (OnMouseMove) OnMouseMove(*this, MouseShiftState(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_MBUTTONUP:
            MouseButtonMessage(msg, wParam, lParam);
            return 0;
        case WM_RBUTTONUP:
            MouseButtonMessage(msg, wParam, lParam);
            // The default procedure turns the right button's release into WM_CONTEXTMENU.
            return DefaultHandler(msg, wParam, lParam);
        case WM_CONTEXTMENU:
            if (popupMenu_) {
                POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                if (pt.x == -1 && pt.y == -1) GetCursorPos(&pt);
                popupMenu_->PopupAt(pt.x, pt.y);
                return 0;
            }
            return DefaultHandler(msg, wParam, lParam);
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == Handle() && LOWORD(lParam) == HTCLIENT) {
                if (HCURSOR shape = CursorHandle(cursor_)) {
                    ::SetCursor(shape);
                    return TRUE;
                }
            }
            return DefaultHandler(msg, wParam, lParam);
        case WM_CAPTURECHANGED:
            clickArmed_ = false;
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                if (OnDeactivate) OnDeactivate(*this);
            } else if (OnActivate) {
                OnActivate(*this);
            }
            return DefaultHandler(msg, wParam, lParam);
        case WM_SETFOCUS:
            // A child form has no activation of its own: taking the focus activates it.
            if ((GetWindowLongA(Handle(), GWL_STYLE) & WS_CHILD) && OnActivate) OnActivate(*this);
            return 0;
        case WM_KILLFOCUS:
            if ((GetWindowLongA(Handle(), GWL_STYLE) & WS_CHILD) && OnDeactivate) OnDeactivate(*this);
            return 0;
        case WM_DROPFILES: {
            HDROP drop = reinterpret_cast<HDROP>(wParam);
            if (OnDropFiles)
                OnDropFiles(*this, drop);
            else
                DragFinish(drop);
            return 0;
        }
        default:
            return DefaultHandler(msg, wParam, lParam);
    }
}

}  // namespace comp
