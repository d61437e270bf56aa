// The panel control: a child window with a caption, a colour and a font.
#include "panel.h"

namespace comp {

void Panel::CreatePanel(HWND parent, int left, int top, int width, int height, bool visible) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    WindowParams p;
    p.className = "comp.Panel";
    p.style = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
    p.x = left;
    p.y = top;
    p.width = width;
    p.height = height;
    p.parent = parent;
    p.caption = caption_;
    Create(p);
}

void Panel::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    if (Handle()) {
        SetText(caption);
        Invalidate();
    }
}

void Panel::SetColor(COLORREF color) {
    color_ = color;
    if (Handle()) Invalidate();
}

void Panel::SetFont(const Font& font) {
    font_ = font;
    if (Handle()) Invalidate();
}

void Panel::SetVisible(bool visible) {
    if (Handle()) ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE);
}

void Panel::SetPosition(int left, int top) {
    left_ = left;
    top_ = top;
    if (Handle()) SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Handle(), &ps);
            RECT r = ClientRect();
            HBRUSH brush = CreateSolidBrush(color_);
            FillRect(dc, &r, brush);
            DeleteObject(brush);
            DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
            HGDIOBJ old = SelectObject(dc, font_.Handle());
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, font_.Color());
            DrawTextA(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(dc, old);
            EndPaint(Handle(), &ps);
            return 0;
        }
        default:
            return DefaultHandler(msg, wParam, lParam);
    }
}

}  // namespace comp
