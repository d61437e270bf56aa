// TColorSelector: a colour button. A push button that shows the selected colour as a swatch with a small
// drop-down arrow at its right; a click, Space or Enter drops the colour palette (TColorForm) right under
// it, and a colour picked there becomes the button's colour and raises OnChangeColor.
#pragma once

#include "ColorForm.h"
#include "components/window.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

// Paints the selector, W x H, raised or pressed, with or without the focus rectangle.
void PaintColorSelector(HDC dc, int width, int height, COLORREF color, bool pressed, bool focused);

class TColorSelector : public comp::Window {
public:
    using NotifyEvent = std::function<void(TColorSelector& sender)>;

    // A child of |parent|, in the tab order; 42 by 21 unless given.
    TColorSelector(HWND parent, int left, int top, int width = 42, int height = 21);
    ~TColorSelector() override;

    COLORREF Color() const { return color_; }
    // Stores the colour and repaints when it differs; raises nothing.
    void SetColor(COLORREF color);

    NotifyEvent OnChangeColor;  // the user picked a colour other than Color
    NotifyEvent OnClick;

    // Drops a fresh palette under the selector, then raises OnClick.
    void Click();
    // The palette's choice.
    void ColorChosen(TColorForm& Sender, COLORREF NewColor);

    // The look's inputs.
    bool Pressed() const { return pressed_; }
    bool MouseInside() const { return mouseInside_; }
    bool SpaceHeld() const { return spaceHeld_; }
    bool Focused() const { return focused_; }
    // Drawn pressed: the button is held over the control, or Space is held.
    bool LooksPressed() const { return pressed_ && (mouseInside_ || spaceHeld_); }
    // The palette dropped last (nullptr before the first click).
    TColorForm* Palette() const { return palettes_.empty() ? nullptr : palettes_.back().get(); }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);
    void SetMouseInside(bool inside);

    COLORREF color_ = 0;
    bool pressed_ = false;
    bool mouseInside_ = false;
    bool spaceHeld_ = false;
    bool focused_ = false;
    bool trackingLeave_ = false;
    std::vector<std::unique_ptr<TColorForm>> palettes_;
};
