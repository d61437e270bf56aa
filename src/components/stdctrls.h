// Standard child controls on a form: push button, check box, static label, picture and a multi-line memo.
// Each wraps one window of a system class. The form that holds them hands WM_COMMAND notifications to
// Control::DispatchCommand, which finds the control by its window and raises its event.
#pragma once

#include <windows.h>

#include "bitmap.h"

#include <functional>
#include <string>
#include <vector>

namespace comp {

// What a modal form answers when it closes (0: still open).
enum ModalResult : int { mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrClose = 8 };

class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    HWND Handle() const { return hwnd_; }
    int Id() const { return id_; }

    void SetBounds(int left, int top, int width, int height);
    void SetText(const std::string& text);
    std::string Text() const;
    // Disabling the control that has the focus hands the focus to its form first, so that the form's keys
    // (Escape, Enter, Tab) keep working.
    virtual void SetEnabled(bool enabled);
    bool Enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }
    virtual void SetVisible(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }
    void SetFocus() { ::SetFocus(hwnd_); }
    void SetFont(HFONT font) { SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

    // The control behind a window made by this layer, or nullptr.
    static Control* FromHandle(HWND hwnd);
    // Hands a WM_COMMAND from a control to its object; true when a control of this layer took it.
    static bool DispatchCommand(WPARAM wParam, LPARAM lParam);
    // Hands a WM_NOTIFY from a control to its object; true (and the answer in |result|) when one took it.
    static bool DispatchNotify(LPARAM lParam, LRESULT& result);
    // Hands a WM_HSCROLL / WM_VSCROLL from a control (slider, up-down) to its object.
    static bool DispatchScroll(WPARAM wParam, LPARAM lParam);

protected:
    Control() = default;
    // Makes the child window of |systemClass| on |parent| (WS_CHILD | WS_VISIBLE are added).
    void CreateChild(HWND parent, const char* systemClass, const std::string& text, DWORD style, DWORD exStyle,
                     int left, int top, int width, int height, int id);
    // One notification code of WM_COMMAND.
    virtual void Command(WORD code) {}
    // One WM_NOTIFY of the control.
    virtual LRESULT Notify(const NMHDR& header) { return 0; }
    // One scroll notification of the control.
    virtual void Scroll(WORD code) {}

private:
    HWND hwnd_ = nullptr;
    int id_ = 0;
};

class Button : public Control {
public:
    // |isDefault|: the form's default button (Enter); |isCancel|: the form's cancel button (Escape).
    Button(HWND parent, int id, const std::string& caption, int left, int top, int width, int height,
           bool isDefault = false, bool isCancel = false);

    bool IsDefault() const { return default_; }
    bool IsCancel() const { return cancel_; }
    // When not mrNone, a click also closes the modal form with this result.
    ModalResult Result = mrNone;
    std::function<void(Button& sender)> OnClick;

    // Acts as a click by the user: raises OnClick (when enabled) and reports the result.
    void Click();

protected:
    void Command(WORD code) override;

private:
    bool default_;
    bool cancel_;
};

class CheckBox : public Control {
public:
    CheckBox(HWND parent, int id, const std::string& caption, int left, int top, int width, int height);

    bool Checked() const;
    // Sets the tick without raising OnClick.
    void SetChecked(bool checked);
    std::function<void(CheckBox& sender)> OnClick;

protected:
    void Command(WORD code) override;
};

class Label : public Control {
public:
    Label(HWND parent, int id, const std::string& caption, int left, int top, int width, int height,
          DWORD extraStyle = 0);
};

// A picture at its own size; the bitmap is owned by the control.
class Image : public Control {
public:
    Image(HWND parent, int id, int left, int top, int width, int height);
    ~Image() override;
    // Takes ownership of |bitmap|.
    void SetBitmap(HBITMAP bitmap);
    HBITMAP Bitmap() const { return bitmap_; }
    // Keeps a copy of |picture| and shows it scaled to the control's size (an empty one shows nothing).
    void SetPicture(const comp::Bitmap& picture);
    const comp::Bitmap& Picture() const { return picture_; }

private:
    HBITMAP bitmap_ = nullptr;
    comp::Bitmap picture_;
};

// A multi-line edit box; lines are kept with CR LF between them.
class Memo : public Control {
public:
    Memo(HWND parent, int id, int left, int top, int width, int height, bool readOnly, bool border);

    void Clear() { SetText(""); }
    void SetLines(const std::vector<std::string>& lines);
    std::vector<std::string> Lines() const;
};

// Splits text at CR LF, lone CR or lone LF.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace comp
