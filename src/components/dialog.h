// A modal form: a top-level window of its own class that holds standard controls, is shown centred on the
// screen and runs its own message loop until ModalResult is set. While it runs, its owner is disabled;
// the loop keeps dispatching every other window's messages of the thread (timers, hidden windows).
// Enter clicks the default button, Escape and the close box close with mrCancel (or click the cancel
// button). A WM_QUIT that arrives during the loop closes the form with mrCancel and is posted again, so
// that the outer loop ends too. The form hands its controls' notifications (WM_COMMAND, WM_NOTIFY,
// WM_HSCROLL/WM_VSCROLL) to them, and gives the focus back to the control that had it when another window
// (a drop-down, a system dialog) took the activation.
#pragma once

#include "stdctrls.h"
#include "window.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace comp {

struct DialogParams {
    std::string className;  // the form's class name (other programs and "one at a time" checks find it)
    std::string caption;
    int clientWidth = 300;
    int clientHeight = 200;
    bool sizeable = false;
};

class Dialog : public Window {
public:
    explicit Dialog(const DialogParams& params, HWND owner = nullptr);
    ~Dialog() override;

    // Shows the form modally; returns the result it closed with.
    int ShowModal();
    int ModalResultValue() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    // Closes as the close box does.
    void Close() { modalResult_ = mrCancel; }

    // Controls of the form: the form owns them. The first button made with isDefault / isCancel is the
    // form's default / cancel button.
    Button& AddButton(const std::string& caption, int left, int top, int width, int height, bool isDefault = false,
                      bool isCancel = false);
    CheckBox& AddCheckBox(const std::string& caption, int left, int top, int width, int height);
    Label& AddLabel(const std::string& caption, int left, int top, int width, int height);
    Image& AddImage(int left, int top, int width, int height);
    Memo& AddMemo(int left, int top, int width, int height, bool readOnly, bool border);
    // Any other control of this layer, made as T(form window, new id, args...).
    template <typename T, typename... Args>
    T& AddControl(Args&&... args) {
        return AddControlOn<T>(Handle(), std::forward<Args>(args)...);
    }
    // The same on a window inside the form (a page of a page control), in that window's coordinates.
    template <typename T, typename... Args>
    T& AddControlOn(HWND parent, Args&&... args) {
        std::unique_ptr<T> control(new T(parent, NextId(), std::forward<Args>(args)...));
        Adopt(control.get());
        return *control.release();
    }
    // A fresh control id of the form.
    int NewId() { return NextId(); }

    HFONT Font() const { return font_; }
    std::function<void(Dialog& sender)> OnCreate;  // raised by ShowModal before the form is shown
    std::function<void(Dialog& sender)> OnShow;    // raised once the form is shown and has its first focus
    std::function<void(Dialog& sender)> OnClose;   // raised after the loop ended, before the form hides

    // True while some modal form of this layer runs its loop on this thread.
    static bool ModalLoopRunning();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    int NextId() { return ++lastId_; }
    void Adopt(Control* control);
    void PressDefault();
    void PressCancel();

    HWND owner_;
    HFONT font_ = nullptr;
    int modalResult_ = mrNone;
    int lastId_ = 100;
    std::vector<Control*> controls_;
    Button* defaultButton_ = nullptr;
    Button* cancelButton_ = nullptr;
    HWND lastFocus_ = nullptr;  // the control that had the focus when the form was last deactivated
};

}  // namespace comp
