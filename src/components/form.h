// A form: a window of our own with the component library's events. Double clicks are on (CS_DBLCLKS);
// key events include WM_SYSKEYDOWN/UP; a mouse button held over the form captures the mouse until the
// last button is released; a right click (WM_CONTEXTMENU) pops up the PopupMenu when one is set. Over its
// client area the form shows its Cursor (the class cursor for crDefault).
//
// OnCreate and OnDestroy are not fired by the window messages: the form's owner calls DoCreate once the
// form is whole and DoDestroy before it takes it down (each fires at most once).
#pragma once

#include "cursors.h"
#include "font.h"
#include "window.h"

#include <functional>

namespace comp {

class PopupMenu;

// Shift state of a key or mouse event.
enum ShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using ShiftState = unsigned;

enum class MouseButton { mbLeft = 0, mbRight = 1, mbMiddle = 2 };

// The current shift state from the keyboard (and the mouse buttons when |withButtons|).
ShiftState KeyboardShiftState(bool withButtons = false);

class Form : public Window {
public:
    using NotifyEvent = std::function<void(Form& sender)>;
    using KeyEvent = std::function<void(Form& sender, WORD& key, ShiftState shift)>;
    using KeyPressEvent = std::function<void(Form& sender, char& key)>;
    using MouseEvent = std::function<void(Form& sender, MouseButton button, ShiftState shift, int x, int y)>;
    using MouseMoveEvent = std::function<void(Form& sender, ShiftState shift, int x, int y)>;
    using DropFilesEvent = std::function<void(Form& sender, HDROP drop)>;

    Form();
    ~Form() override;

    // Creates the window with the form's class (CS_DBLCLKS) and the given placement and styles.
    void CreateForm(WindowParams params);

    NotifyEvent OnCreate, OnDestroy, OnActivate, OnDeactivate, OnClick, OnDblClick, OnPaint;
    KeyEvent OnKeyDown, OnKeyUp;
    KeyPressEvent OnKeyPress;
    MouseEvent OnMouseDown, OnMouseUp;
    MouseMoveEvent OnMouseMove;
    // WM_DROPFILES; when unset the drop handle is finished without reading it.
    DropFilesEvent OnDropFiles;

    void DoCreate();
    void DoDestroy();

    // The popup menu shown on a right click; nullptr: none.
    void SetPopupMenu(PopupMenu* menu) { popupMenu_ = menu; }
    PopupMenu* GetPopupMenu() const { return popupMenu_; }

    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);
    Font& FormFont() { return font_; }
    void SetFont(const Font& font) { font_ = font; }

    // The cursor shape over the client area; a change shows at once while the cursor is there.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);

    // Capture the mouse while a button is held (on by default).
    bool CaptureMouse = true;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool MouseButtonMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint();

    PopupMenu* popupMenu_ = nullptr;
    COLORREF color_ = GetSysColor(COLOR_BTNFACE);
    HBRUSH brush_ = nullptr;
    Font font_;
    bool created_ = false;
    bool destroyed_ = false;
    bool clickArmed_ = false;
    TCursor cursor_ = crDefault;
};

}  // namespace comp
