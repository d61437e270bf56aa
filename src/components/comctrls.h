// Common controls on a form: edit box, drop-down list, group box, radio group, hot-key box, spin edit
// (edit box with an up-down), slider, list view with its image list, and a page control (a tab control
// whose pages are groups of the form's controls, shown while their tab is selected). Each wraps one
// window of a system class; notifications reach it through the form (Control::DispatchCommand,
// DispatchNotify, DispatchScroll). Setting a value from code raises no change event.
#pragma once

#include "imagelist.h"
#include "stdctrls.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace comp {

// Loads the common-control classes (once per process).
void InitCommonControlClasses();

class Edit : public Control {
public:
    Edit(HWND parent, int id, const std::string& text, int left, int top, int width, int height);
    std::function<void(Edit& sender)> OnChange;

protected:
    void Command(WORD code) override;
};

// A drop-down list (no typing): items and the selected index (-1: none).
class ComboBox : public Control {
public:
    // |height| is that of the closed box; the list drops below it.
    ComboBox(HWND parent, int id, const std::vector<std::string>& items, int left, int top, int width, int height);

    int ItemIndex() const;
    void SetItemIndex(int index);
    std::function<void(ComboBox& sender)> OnChange;  // the user chose an item

protected:
    void Command(WORD code) override;
};

class GroupBox : public Control {
public:
    GroupBox(HWND parent, int id, const std::string& caption, int left, int top, int width, int height);
};

// A group box holding one radio button per item, one under the other; ItemIndex is the checked one.
class RadioGroup : public Control {
public:
    RadioGroup(HWND parent, int id, const std::string& caption, const std::vector<std::string>& items, int left,
               int top, int width, int height);
    ~RadioGroup() override;

    int ItemIndex() const;
    void SetItemIndex(int index);
    int Count() const { return static_cast<int>(buttons_.size()); }
    HWND Button(int index) const;
    std::function<void(RadioGroup& sender)> OnClick;  // the user checked an item

    void SetEnabled(bool enabled) override;
    void SetVisible(bool visible) override;

private:
    class RadioButton;
    std::vector<std::unique_ptr<RadioButton>> buttons_;
};

// The component library's shortcut codes: the virtual-key code in the low byte plus these flags.
constexpr unsigned kShortCutShift = 0x2000;
constexpr unsigned kShortCutCtrl = 0x4000;
constexpr unsigned kShortCutAlt = 0x8000;
// A shortcut code as the hot-key control holds it (MAKEWORD(key, HOTKEYF_*)) and back.
WORD ShortCutToHotKey(WORD shortCut);
WORD HotKeyToShortCut(WORD hotKey);

// The hot-key box. A key without modifier, or with Shift alone, becomes Ctrl plus the key.
class HotKey : public Control {
public:
    HotKey(HWND parent, int id, int left, int top, int width, int height);

    WORD ShortCut() const;
    void SetShortCut(WORD shortCut);
    std::function<void(HotKey& sender)> OnChange;

protected:
    void Command(WORD code) override;
};

// An edit box for an integer from MinValue to MaxValue with up and down arrows. Text that is not a number
// counts as MinValue; a value outside the range is brought to the nearest bound.
class SpinEdit : public Control {
public:
    SpinEdit(HWND parent, int id, int minValue, int maxValue, int value, int left, int top, int width, int height);
    ~SpinEdit() override;

    int Value() const;
    void SetValue(int value);
    std::function<void(SpinEdit& sender)> OnChange;

    void SetEnabled(bool enabled) override;
    void SetVisible(bool visible) override;

protected:
    void Command(WORD code) override;

private:
    int min_, max_;
    HWND upDown_ = nullptr;
};

// The value of spin-edit text: MinValue when it is not a whole number, else brought into the range.
int SpinValueOf(const std::string& text, int minValue, int maxValue);

// A horizontal slider from Min to Max with a tick at every position.
class TrackBar : public Control {
public:
    TrackBar(HWND parent, int id, int minValue, int maxValue, int left, int top, int width, int height);

    int Position() const;
    void SetPosition(int position);
    std::function<void(TrackBar& sender)> OnChange;  // the user moved the slider

protected:
    void Scroll(WORD code) override;

private:
    int last_ = 0;
};

// A list view in report style with one column as wide as the list and no header: one caption and small
// image per entry, single selection that stays shown without the focus. Entries stay where they are put.
class ListView : public Control {
public:
    ListView(HWND parent, int id, int left, int top, int width, int height);

    // Small images of the entries (not owned: the form keeps the list).
    void SetSmallImages(ImageList* images);
    // Inserts an entry at |index| (clipped to the list); answers where it went.
    int Insert(int index, const std::string& caption, int image);
    void Clear();
    int Count() const;
    std::string Caption(int index) const;
    int ImageIndex(int index) const;
    // The selected entry, -1 when none.
    int Selected() const;
    // Selects the entry and shows it; -1 clears the selection.
    void Select(int index);
    // Raised for every change of an entry, the selection included (not for the focus alone).
    std::function<void(ListView& sender)> OnChange;

protected:
    LRESULT Notify(const NMHDR& header) override;
};

// A tab control with one page per tab. A page is a child window of the form laid over the tab's display
// area, on which the page's controls are made (Page(index) is their parent; their positions are the
// page's); only the selected page is shown. The page hands its controls' notifications to the form.
class PageControl : public Control {
public:
    PageControl(HWND parent, int id, int left, int top, int width, int height);
    ~PageControl() override;

    // Appends a tab and its page; answers the page's index.
    int AddPage(const std::string& caption);
    // The window of a page: the parent of its controls.
    HWND Page(int page) const;
    int PageCount() const { return static_cast<int>(pages_.size()); }
    int ActivePage() const;
    void SetActivePage(int page);
    std::function<void(PageControl& sender)> OnChange;  // the user chose another tab

protected:
    LRESULT Notify(const NMHDR& header) override;

private:
    class Sheet;
    void ShowPage(int page);
    std::vector<std::unique_ptr<Sheet>> pages_;
};

}  // namespace comp
