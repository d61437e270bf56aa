// Common controls.
#include "comctrls.h"

#include "exceptions.h"
#include "module.h"
#include "window.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace comp {

void InitCommonControlClasses() {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    done = InitCommonControlsEx(&icc) != FALSE;
}

// ---- Edit

Edit::Edit(HWND parent, int id, const std::string& text, int left, int top, int width, int height) {
    CreateChild(parent, "EDIT", text, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, left, top, width, height, id);
}

void Edit::Command(WORD code) {
    if (code == EN_CHANGE && OnChange) OnChange(*this);
}

// ---- ComboBox

ComboBox::ComboBox(HWND parent, int id, const std::vector<std::string>& items, int left, int top, int width,
                   int height) {
    // The window's height includes the dropped list: room for every item.
    const int listHeight = height + 4 + 16 * static_cast<int>(std::max<size_t>(items.size(), 1));
    CreateChild(parent, "COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, left, top, width, listHeight,
                id);
    for (const std::string& item : items) SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int ComboBox::ItemIndex() const { return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)); }

void ComboBox::SetItemIndex(int index) { SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void ComboBox::Command(WORD code) {
    if (code == CBN_SELCHANGE && OnChange) OnChange(*this);
}

// ---- GroupBox

GroupBox::GroupBox(HWND parent, int id, const std::string& caption, int left, int top, int width, int height) {
    CreateChild(parent, "BUTTON", caption, BS_GROUPBOX | WS_GROUP | WS_CLIPSIBLINGS, 0, left, top, width, height, id);
}

// ---- RadioGroup

class RadioGroup::RadioButton : public Control {
public:
    RadioButton(RadioGroup& group, HWND parent, int id, const std::string& caption, bool first, int left, int top,
                int width, int height)
        : group_(group) {
        CreateChild(parent, "BUTTON", caption, BS_AUTORADIOBUTTON | (first ? WS_GROUP | WS_TABSTOP : 0), 0, left, top,
                    width, height, id);
    }

protected:
    void Command(WORD code) override {
        if (code == BN_CLICKED && group_.OnClick) group_.OnClick(group_);
    }

private:
    RadioGroup& group_;
};

RadioGroup::RadioGroup(HWND parent, int id, const std::string& caption, const std::vector<std::string>& items,
                       int left, int top, int width, int height) {
    // The buttons first, then the box: the box ends their group in the tab order and lies under them.
    const int count = static_cast<int>(items.size());
    const int row = count ? std::min(20, (height - 22) / count) : 0;
    for (int i = 0; i < count; ++i)
        buttons_.push_back(std::unique_ptr<RadioButton>(
            new RadioButton(*this, parent, id, items[static_cast<size_t>(i)], i == 0, left + 10, top + 18 + i * row,
                            width - 18, 17)));
    CreateChild(parent, "BUTTON", caption, BS_GROUPBOX | WS_GROUP | WS_CLIPSIBLINGS, 0, left, top, width, height, id);
}

RadioGroup::~RadioGroup() = default;

int RadioGroup::ItemIndex() const {
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (SendMessageA(buttons_[i]->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED) return static_cast<int>(i);
    return -1;
}

void RadioGroup::SetItemIndex(int index) {
    for (size_t i = 0; i < buttons_.size(); ++i)
        SendMessageA(buttons_[i]->Handle(), BM_SETCHECK, static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
}

HWND RadioGroup::Button(int index) const {
    return index >= 0 && index < Count() ? buttons_[static_cast<size_t>(index)]->Handle() : nullptr;
}

void RadioGroup::SetEnabled(bool enabled) {
    for (auto& b : buttons_) b->SetEnabled(enabled);
    Control::SetEnabled(enabled);
}

void RadioGroup::SetVisible(bool visible) {
    for (auto& b : buttons_) b->SetVisible(visible);
    Control::SetVisible(visible);
}

// ---- HotKey

WORD ShortCutToHotKey(WORD shortCut) {
    BYTE modifiers = 0;
    if (shortCut & kShortCutShift) modifiers |= HOTKEYF_SHIFT;
    if (shortCut & kShortCutCtrl) modifiers |= HOTKEYF_CONTROL;
    if (shortCut & kShortCutAlt) modifiers |= HOTKEYF_ALT;
    return MAKEWORD(LOBYTE(shortCut), modifiers);
}

WORD HotKeyToShortCut(WORD hotKey) {
    WORD shortCut = LOBYTE(hotKey);
    const BYTE modifiers = HIBYTE(hotKey);
    if (modifiers & HOTKEYF_SHIFT) shortCut |= kShortCutShift;
    if (modifiers & HOTKEYF_CONTROL) shortCut |= kShortCutCtrl;
    if (modifiers & HOTKEYF_ALT) shortCut |= kShortCutAlt;
    return shortCut;
}

HotKey::HotKey(HWND parent, int id, int left, int top, int width, int height) {
    InitCommonControlClasses();
    CreateChild(parent, HOTKEY_CLASSA, "", WS_TABSTOP, WS_EX_CLIENTEDGE, left, top, width, height, id);
    SendMessageA(Handle(), HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL, 0));
}

WORD HotKey::ShortCut() const {
    return HotKeyToShortCut(static_cast<WORD>(SendMessageA(Handle(), HKM_GETHOTKEY, 0, 0)));
}

void HotKey::SetShortCut(WORD shortCut) { SendMessageA(Handle(), HKM_SETHOTKEY, ShortCutToHotKey(shortCut), 0); }

void HotKey::Command(WORD code) {
    if (code == EN_CHANGE && OnChange) OnChange(*this);
}

// ---- SpinEdit

int SpinValueOf(const std::string& text, int minValue, int maxValue) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    const size_t digitsStart = i;
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        if (i - digitsStart >= 18) return minValue;  // beyond any integer: not a number
        value = value * 10 + (text[i] - '0');
    }
    if (i == digitsStart || i != text.size()) return minValue;
    if (negative) value = -value;
    return static_cast<int>(std::min<long long>(std::max<long long>(value, minValue), maxValue));
}

SpinEdit::SpinEdit(HWND parent, int id, int minValue, int maxValue, int value, int left, int top, int width,
                   int height)
    : min_(minValue), max_(maxValue) {
    InitCommonControlClasses();
    CreateChild(parent, "EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, left, top, width, height, id);
    upDown_ = CreateWindowExA(0, UPDOWN_CLASSA, "",
                              WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_NOTHOUSANDS,
                              0, 0, 0, 0, parent, nullptr, ModuleInstance(), nullptr);
    if (!upDown_) RaiseLastOSError("CreateWindow " UPDOWN_CLASSA);
    SendMessageA(upDown_, UDM_SETRANGE32, static_cast<WPARAM>(minValue), static_cast<LPARAM>(maxValue));
    SendMessageA(upDown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
    SetValue(value);
}

SpinEdit::~SpinEdit() {
    if (upDown_ && IsWindow(upDown_)) DestroyWindow(upDown_);
}

int SpinEdit::Value() const { return SpinValueOf(Text(), min_, max_); }

void SpinEdit::SetValue(int value) {
    value = std::min(std::max(value, min_), max_);
    SendMessageA(upDown_, UDM_SETPOS32, 0, static_cast<LPARAM>(value));
    SetText(std::to_string(value));
}

void SpinEdit::SetEnabled(bool enabled) {
    EnableWindow(upDown_, enabled ? TRUE : FALSE);
    Control::SetEnabled(enabled);
}

void SpinEdit::SetVisible(bool visible) {
    ShowWindow(upDown_, visible ? SW_SHOW : SW_HIDE);
    Control::SetVisible(visible);
}

void SpinEdit::Command(WORD code) {
    if (code == EN_CHANGE && OnChange) OnChange(*this);
}

// ---- TrackBar

TrackBar::TrackBar(HWND parent, int id, int minValue, int maxValue, int left, int top, int width, int height) {
    InitCommonControlClasses();
    CreateChild(parent, TRACKBAR_CLASSA, "", WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM, 0, left, top, width,
                height, id);
    SendMessageA(Handle(), TBM_SETRANGE, TRUE, MAKELPARAM(minValue, maxValue));
    SendMessageA(Handle(), TBM_SETTICFREQ, 1, 0);
    SendMessageA(Handle(), TBM_SETPAGESIZE, 0, 1);
    last_ = Position();
}

int TrackBar::Position() const { return static_cast<int>(SendMessageA(Handle(), TBM_GETPOS, 0, 0)); }

void TrackBar::SetPosition(int position) {
    SendMessageA(Handle(), TBM_SETPOS, TRUE, position);
    last_ = Position();
}

void TrackBar::Scroll(WORD) {
    const int position = Position();
    if (position == last_) return;
    last_ = position;
    if (OnChange) OnChange(*this);
}

// ---- ListView

ListView::ListView(HWND parent, int id, int left, int top, int width, int height) {
    InitCommonControlClasses();
    CreateChild(parent, WC_LISTVIEWA, "",
                WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                WS_EX_CLIENTEDGE, left, top, width, height, id);
    RECT r = {};
    GetClientRect(Handle(), &r);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = r.right - r.left;
    SendMessageA(Handle(), LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
}

void ListView::SetSmallImages(ImageList* images) {
    SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

int ListView::Insert(int index, const std::string& caption, int image) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = std::min(std::max(index, 0), Count());
    item.iImage = image;
    item.pszText = const_cast<char*>(caption.c_str());
    return static_cast<int>(SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListView::Clear() { SendMessageA(Handle(), LVM_DELETEALLITEMS, 0, 0); }

int ListView::Count() const { return static_cast<int>(SendMessageA(Handle(), LVM_GETITEMCOUNT, 0, 0)); }

std::string ListView::Caption(int index) const {
    char buffer[1024] = {};
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

int ListView::ImageIndex(int index) const {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    if (!SendMessageA(Handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    return item.iImage;
}

int ListView::Selected() const {
    return static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListView::Select(int index) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (index < 0) {
        SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
        return;
    }
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    SendMessageA(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

LRESULT ListView::Notify(const NMHDR& header) {
    if (header.code != LVN_ITEMCHANGED || !OnChange) return 0;
    // The focus moving along with the selection is no change of an entry.
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (change.uChanged == LVIF_STATE && !((change.uNewState ^ change.uOldState) & ~LVIS_FOCUSED)) return 0;
    OnChange(*this);
    return 0;
}

// ---- PageControl

class PageControl::Sheet : public Window {
public:
    Sheet(HWND form, const RECT& area) {
        WindowParams p;
        p.className = "comp.TabSheet";
        p.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        p.style = WS_CHILD | WS_CLIPSIBLINGS;
        p.exStyle = WS_EX_CONTROLPARENT;
        p.x = area.left;
        p.y = area.top;
        p.width = area.right - area.left;
        p.height = area.bottom - area.top;
        p.parent = form;
        Create(p);
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
            // What the controls tell their parent, and what they ask of it, is the form's business.
            case WM_COMMAND:
            case WM_NOTIFY:
            case WM_HSCROLL:
            case WM_VSCROLL:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORLISTBOX:
            case WM_GETFONT:
            case DM_GETDEFID:
                return SendMessageA(GetParent(Handle()), msg, wParam, lParam);
            default:
                return DefaultHandler(msg, wParam, lParam);
        }
    }
};

PageControl::PageControl(HWND parent, int id, int left, int top, int width, int height) {
    InitCommonControlClasses();
    CreateChild(parent, WC_TABCONTROLA, "", WS_TABSTOP | WS_CLIPSIBLINGS, 0, left, top, width, height, id);
}

PageControl::~PageControl() = default;

int PageControl::AddPage(const std::string& caption) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption.c_str());
    const int index = PageCount();
    SendMessageA(Handle(), TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    // The page covers the display area below the tabs, in the form's coordinates.
    RECT area = {};
    GetClientRect(Handle(), &area);
    SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(Handle(), GetParent(Handle()), reinterpret_cast<POINT*>(&area), 2);
    pages_.push_back(std::make_unique<Sheet>(GetParent(Handle()), area));
    // The tabs lie under their pages.
    SetWindowPos(Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (index == 0) SendMessageA(Handle(), TCM_SETCURSEL, 0, 0);
    ShowPage(ActivePage());
    return index;
}

HWND PageControl::Page(int page) const {
    return page >= 0 && page < PageCount() ? pages_[static_cast<size_t>(page)]->Handle() : nullptr;
}

int PageControl::ActivePage() const { return static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0)); }

void PageControl::SetActivePage(int page) {
    if (page < 0 || page >= PageCount()) return;
    SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    ShowPage(page);
}

void PageControl::ShowPage(int page) {
    // A control that goes away with the focus hands it to the tabs first, so that the form's keys work on.
    HWND focus = ::GetFocus();
    for (size_t p = 0; p < pages_.size(); ++p) {
        HWND sheet = pages_[p]->Handle();
        if (static_cast<int>(p) == page) continue;
        if (focus && IsChild(sheet, focus)) ::SetFocus(Handle());
        ShowWindow(sheet, SW_HIDE);
    }
    if (page >= 0 && page < PageCount()) ShowWindow(pages_[static_cast<size_t>(page)]->Handle(), SW_SHOWNA);
}

LRESULT PageControl::Notify(const NMHDR& header) {
    if (header.code == TCN_SELCHANGE) {
        ShowPage(ActivePage());
        if (OnChange) OnChange(*this);
    }
    return 0;
}

}  // namespace comp
