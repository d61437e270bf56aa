// A panel: a child window that shows a caption centred on a colour, in a font, with a raised edge.
#pragma once

#include "font.h"
#include "window.h"

namespace comp {

class Panel : public Window {
public:
    Panel() = default;

    // Creates the panel as a child of |parent| (visible when |visible|).
    void CreatePanel(HWND parent, int left, int top, int width, int height, bool visible = true);

    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }
    void SetColor(COLORREF color);
    COLORREF Color() const { return color_; }
    void SetFont(const Font& font);
    const Font& PanelFont() const { return font_; }
    void SetVisible(bool visible);
    // Placement in the parent's client coordinates (kept also while the window does not exist).
    void SetPosition(int left, int top);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::string caption_;
    COLORREF color_ = GetSysColor(COLOR_BTNFACE);
    Font font_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

}  // namespace comp
