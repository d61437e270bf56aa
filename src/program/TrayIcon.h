// TTrayIcon: one icon in the notification area. It turns the shell's mouse notifications into events
// (single and double click told apart by a timer), pops a menu up at the cursor, cycles through the
// icons of an image list, puts the icon back when the shell restarts ("TaskbarCreated"), and can hide
// its owner form when that is minimised (shown again, the form comes back restored).
#pragma once

#include "components/form.h"
#include "components/menus.h"
#include "components/timer.h"
#include "components/window.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

// The mouse events carry the component library's button and shift state.
using TMouseButton = comp::MouseButton;
using TShiftState = comp::ShiftState;

// The shell's version-2 record, which every Windows version since 2000 accepts (MinGW's sizeof is
// larger): 488 bytes on 32-bit Windows, 504 on 64-bit. An unknown size would make the shell fall back to
// the oldest record, which cuts the tip to 63 characters.
constexpr DWORD kNotifyIconDataSize = NOTIFYICONDATAA_V2_SIZE;
static_assert(sizeof(void*) == 8 || kNotifyIconDataSize == 488, "version-2 tray record on 32-bit Windows");
// The notification message the icon window receives from the shell.
constexpr UINT kTrayCallbackMessage = 2048;

class TTrayIcon {
public:
    // |owner|: the owner form's window (may be 0). The component hooks it while it lives.
    explicit TTrayIcon(HWND owner);
    virtual ~TTrayIcon();
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    // After the properties are set up: hides the owner when StartMinimized, updates and shows the icon.
    void Loaded();

    // Properties.
    bool DesignPreview() const { return designPreview_; }
    void SetDesignPreview(bool value);
    HIMAGELIST IconList() const { return iconList_; }
    void SetIconList(HIMAGELIST list);  // a reference; the list belongs to the caller
    bool CycleIcons() const { return cycleIcons_; }
    void SetCycleIcons(bool value);
    UINT CycleInterval() const { return cycleInterval_; }
    void SetCycleInterval(UINT value);
    bool Enabled = true;
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    HICON Icon() const { return icon_; }
    void SetIcon(HICON icon);  // copied: the component owns its copy
    bool IconVisible() const { return iconVisible_; }
    void SetIconVisible(bool value);
    int IconIndex() const { return iconIndex_; }
    void SetIconIndex(int value);
    comp::PopupMenu* PopupMenu = nullptr;  // a reference
    bool LeftPopup = false;
    bool StartMinimized = false;
    bool MinimizeToTray = false;

    // Events.
    std::function<void(TTrayIcon& sender)> OnClick;
    std::function<void(TTrayIcon& sender)> OnDblClick;
    std::function<void(TTrayIcon& sender, TMouseButton button, TShiftState shift, int x, int y)> OnMouseDown;
    std::function<void(TTrayIcon& sender, TMouseButton button, TShiftState shift, int x, int y)> OnMouseUp;
    std::function<void(TTrayIcon& sender, TShiftState shift, int x, int y)> OnMouseMove;
    std::function<void(TTrayIcon& sender, int nextIndex)> OnCycle;

    // The shell calls; true when the shell call succeeded.
    virtual bool AddTrayIcon();
    virtual bool DeleteTrayIcon();
    virtual bool UpdateTrayIcon();

    // The hidden window that receives the shell's notifications, and the record given to the shell.
    HWND IconWindow() const;
    const NOTIFYICONDATAA& IconData() const { return iconData_; }
    UINT TaskbarCreatedMessage() const { return taskbarCreated_; }
    comp::Timer& ClickTimer() { return clickTimer_; }

protected:
    virtual void DoClick();
    virtual void DoDblClick();
    virtual void DoCycle();
    virtual void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DoMouseMove(TShiftState shift, int x, int y);
    virtual void DoMinimizeToTray();

private:
    class IconWindowImpl;
    friend class IconWindowImpl;

    bool PrepareIconData();
    bool ShellCall(DWORD message);
    void HandleCallback(UINT mouseMessage);
    LRESULT IconWndProc(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    void ClickTimerTick();
    void CycleTimerTick();
    void PopupAtCursor();
    void HideMainForm();
    void OwnerShown(HWND hwnd);
    static LRESULT CALLBACK OwnerHook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data);

    HWND owner_;
    std::unique_ptr<IconWindowImpl> iconWindow_;
    NOTIFYICONDATAA iconData_;
    UINT taskbarCreated_ = 0;
    comp::Timer cycleTimer_;
    comp::Timer clickTimer_;
    bool designPreview_ = false;
    HIMAGELIST iconList_ = nullptr;
    bool cycleIcons_ = false;
    UINT cycleInterval_ = 0;
    std::string hint_;
    bool showHint_ = true;
    HICON icon_ = nullptr;
    bool iconVisible_ = true;
    int iconIndex_ = 0;
    bool clickStart_ = false;
    bool clickReady_ = false;
    bool dblClicked_ = false;
    bool settingPreview_ = false;
    bool ownerHooked_ = false;
    bool restoringOwner_ = false;
};
