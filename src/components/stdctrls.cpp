// Standard child controls.
#include "stdctrls.h"

#include "exceptions.h"
#include "module.h"

namespace comp {

static const char* const kControlProperty = "comp.Control";

Control::~Control() {
    if (hwnd_ && IsWindow(hwnd_)) {
        RemovePropA(hwnd_, kControlProperty);
        DestroyWindow(hwnd_);
    }
    hwnd_ = nullptr;
}

void Control::CreateChild(HWND parent, const char* systemClass, const std::string& text, DWORD style,
                          DWORD exStyle, int left, int top, int width, int height, int id) {
    hwnd_ = CreateWindowExA(exStyle, systemClass, text.c_str(), style | WS_CHILD | WS_VISIBLE, left, top, width,
                            height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(),
                            nullptr);
    if (!hwnd_) RaiseLastOSError(std::string("CreateWindow ") + systemClass);
    id_ = id;
    SetPropA(hwnd_, kControlProperty, this);
    // The form's font when it has one, else the GUI font: never the system's bold default.
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(parent, WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SetFont(font);
}

void Control::SetBounds(int left, int top, int width, int height) {
    SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::SetText(const std::string& text) { SetWindowTextA(hwnd_, text.c_str()); }

std::string Control::Text() const {
    int n = GetWindowTextLengthA(hwnd_);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(hwnd_, &s[0], n + 1);
    s.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return s;
}

void Control::SetEnabled(bool enabled) {
    // A disabled window loses the focus to no window at all; the keys would then reach the form only as
    // system keys, which it does not act on.
    if (!enabled && hwnd_ && ::GetFocus() == hwnd_) {
        HWND form = GetAncestor(hwnd_, GA_ROOT);
        if (form) ::SetFocus(form);
    }
    EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

Control* Control::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Control*>(GetPropA(hwnd, kControlProperty)) : nullptr;
}

bool Control::DispatchCommand(WPARAM wParam, LPARAM lParam) {
    Control* control = FromHandle(reinterpret_cast<HWND>(lParam));
    if (!control) return false;
    control->Command(HIWORD(wParam));
    return true;
}

bool Control::DispatchNotify(LPARAM lParam, LRESULT& result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header) return false;
    Control* control = FromHandle(header->hwndFrom);
    if (!control) return false;
    result = control->Notify(*header);
    return true;
}

bool Control::DispatchScroll(WPARAM wParam, LPARAM lParam) {
    Control* control = FromHandle(reinterpret_cast<HWND>(lParam));
    if (!control) return false;
    control->Scroll(LOWORD(wParam));
    return true;
}

// ---- Button

Button::Button(HWND parent, int id, const std::string& caption, int left, int top, int width, int height,
               bool isDefault, bool isCancel)
    : default_(isDefault), cancel_(isCancel) {
    CreateChild(parent, "BUTTON", caption, WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0, left,
                top, width, height, id);
    if (isCancel) Result = mrCancel;
}

void Button::Click() {
    if (!Enabled()) return;
    if (OnClick) OnClick(*this);
}

void Button::Command(WORD code) {
    if (code == BN_CLICKED) Click();
}

// ---- CheckBox

CheckBox::CheckBox(HWND parent, int id, const std::string& caption, int left, int top, int width, int height) {
    CreateChild(parent, "BUTTON", caption, WS_TABSTOP | BS_AUTOCHECKBOX, 0, left, top, width, height, id);
}

bool CheckBox::Checked() const { return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::SetChecked(bool checked) {
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBox::Command(WORD code) {
    if (code == BN_CLICKED && OnClick) OnClick(*this);
}

// ---- Label

Label::Label(HWND parent, int id, const std::string& caption, int left, int top, int width, int height,
             DWORD extraStyle) {
    CreateChild(parent, "STATIC", caption, SS_LEFT | extraStyle, 0, left, top, width, height, id);
}

// ---- Image

Image::Image(HWND parent, int id, int left, int top, int width, int height) {
    CreateChild(parent, "STATIC", "", SS_BITMAP | WS_CLIPSIBLINGS, 0, left, top, width, height, id);
}

Image::~Image() {
    if (bitmap_) DeleteObject(bitmap_);
}

void Image::SetBitmap(HBITMAP bitmap) {
    HBITMAP old = reinterpret_cast<HBITMAP>(
        SendMessageA(Handle(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    // The static may hand back a copy it made of an earlier bitmap; ours is deleted below.
    if (old && old != bitmap_ && old != bitmap) DeleteObject(old);
    if (bitmap_ && bitmap_ != bitmap) DeleteObject(bitmap_);
    bitmap_ = bitmap;
}

void Image::SetPicture(const comp::Bitmap& picture) {
    picture_ = picture;
    RECT r = {};
    GetClientRect(Handle(), &r);
    const int width = r.right, height = r.bottom;
    if (picture_.Empty() || width <= 0 || height <= 0) {
        SetBitmap(nullptr);
        return;
    }
    HBITMAP shown = StretchedScreenBitmap(picture_, width, height);
    if (!shown) RaiseLastOSError("CreateCompatibleBitmap");
    SetBitmap(shown);
}

// ---- Memo

Memo::Memo(HWND parent, int id, int left, int top, int width, int height, bool readOnly, bool border) {
    DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | WS_CLIPSIBLINGS | WS_TABSTOP | (readOnly ? ES_READONLY : 0);
    CreateChild(parent, "EDIT", "", style, border ? WS_EX_CLIENTEDGE : 0, left, top, width, height, id);
}

void Memo::SetLines(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text += "\r\n";
        text += lines[i];
    }
    SetText(text);
}

std::vector<std::string> Memo::Lines() const { return SplitLines(Text()); }

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    lines.push_back(line);
    return lines;
}

}  // namespace comp
