// Menu building, the popup menu loop, the menu bar and the routing of owner-draw requests.
#include "menus.h"

#include <algorithm>

#include "canvas.h"
#include "exceptions.h"
#include "imagelist.h"
#include "window.h"

namespace comp {

// ---- shortcut text

std::string ShortCutToText(int shortCut) {
    const int key = shortCut & 0xFF;
    if (key == 0) return {};
    std::string name;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
        name = std::string(1, static_cast<char>(key));
    } else if (key >= VK_F1 && key <= VK_F24) {
        name = "F" + std::to_string(key - VK_F1 + 1);
    } else {
        // The keyboard's own name of the key (extended keys flagged so that Ins, Del, ... read right).
        UINT scan = MapVirtualKeyA(static_cast<UINT>(key), 0 /* MAPVK_VK_TO_VSC */);
        switch (key) {
            case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
            case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
                scan |= 0x100;
                break;
            default:
                break;
        }
        char text[64] = {};
        if (scan && GetKeyNameTextA(static_cast<LONG>(scan << 16), text, sizeof text) > 0) name = text;
        if (name.empty()) return {};
    }
    std::string prefix;
    if (shortCut & scShift) prefix += "Shift+";
    if (shortCut & scCtrl) prefix += "Ctrl+";
    if (shortCut & scAlt) prefix += "Alt+";
    return prefix + name;
}

// ---- items

MenuItem& MenuItem::Add(const std::string& caption, ClickEvent onClick, const std::string& name) {
    auto item = std::make_unique<MenuItem>(caption);
    item->OnClick = std::move(onClick);
    item->Name = name;
    item->parent_ = this;
    items_.push_back(std::move(item));
    MenuItem& added = *items_.back();
    if (Menu* menu = GetParentMenu()) menu->MenuChanged(&added, true);
    return added;
}

MenuItem& MenuItem::AddSeparator(const std::string& hint) {
    MenuItem& item = Add("-");
    item.Hint = hint;
    return item;
}

void MenuItem::Clear() {
    Menu* menu = GetParentMenu();
    // A shown menu must not hand out the items that go now.
    if (menu) menu->ForgetBuild();
    items_.clear();
    if (menu) menu->MenuChanged(nullptr, true);
}

MenuItem* MenuItem::Find(const std::string& name) {
    for (auto& item : items_) {
        if (item->Name == name) return item.get();
        if (MenuItem* found = item->Find(name)) return found;
    }
    return nullptr;
}

int MenuItem::MenuIndex() const {
    if (!parent_) return -1;
    for (size_t i = 0; i < parent_->items_.size(); ++i)
        if (parent_->items_[i].get() == this) return static_cast<int>(i);
    return -1;
}

Menu* MenuItem::GetParentMenu() const {
    const MenuItem* root = this;
    while (root->parent_) root = root->parent_;
    return root->rootOf_;
}

ImageList* MenuItem::GetImageList() const {
    for (const MenuItem* p = parent_; p; p = p->parent_)
        if (p->SubMenuImages) return p->SubMenuImages;
    Menu* menu = GetParentMenu();
    return menu ? menu->Images : nullptr;
}

bool MenuItem::IsMenuBarItem() const {
    return parent_ && parent_->rootOf_ && dynamic_cast<MainMenu*>(parent_->rootOf_) != nullptr;
}

void MenuItem::Click() {
    if (OnClick) OnClick(*this);
}

void MenuItem::MeasureItem(Canvas& canvas, int& width, int& height) const {
    if (IsSeparator()) {
        width = 0;
        height = 8;
        return;
    }
    RECT text = {0, 0, 0, 0};
    canvas.DrawText(Caption.empty() ? std::string(" ") : Caption, text, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    const int textWidth = text.right - text.left, textHeight = text.bottom - text.top;
    const ImageList* images = GetImageList();
    const int glyphWidth = images ? images->Width() : 16, glyphHeight = images ? images->Height() : 16;
    if (IsMenuBarItem()) {
        width = textWidth + 6;
        height = textHeight + 4;
        if (!Bitmap.Empty() || (images && ImageIndex >= 0)) width += glyphWidth + 2;
        return;
    }
    // Glyph column with its edges, the gap before the caption, the caption and a right margin.
    width = glyphWidth + 4 + 6 + textWidth + 8;
    if (ShortCut) width += 16 + canvas.TextExtent(ShortCutToText(ShortCut)).cx;
    height = std::max(textHeight + 4, glyphHeight + 3);
}

void MenuItem::DrawItem(Canvas& canvas, RECT rect, OwnerDrawState state) const {
    canvas.FillRect(rect);
    if (IsSeparator()) {
        RECT line = rect;
        line.top += (rect.bottom - rect.top) / 2 - 1;
        DrawEdge(canvas.Handle(), &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    if (Checked) {
        RECT mark = {rect.left + 2, rect.top + 1, rect.left + 18, rect.bottom - 1};
        DrawFrameControl(canvas.Handle(), &mark, DFC_MENU, RadioItem ? DFCS_MENUBULLET : DFCS_MENUCHECK);
    }
    if (!Enabled && !(state & ODS_SELECTED)) canvas.SetFontColor(clGrayText);
    RECT text = rect;
    text.left += 24;
    text.right -= 8;
    canvas.SetBrushClear(true);
    canvas.DrawText(Caption, text, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS);
    if (ShortCut) canvas.DrawText(ShortCutToText(ShortCut), text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
}

// ---- menus

namespace {
// The menus that exist, for the routing of owner-draw requests. Menus live on the thread that owns
// their windows; every request comes on that thread.
std::vector<Menu*>& LiveMenus() {
    static std::vector<Menu*> menus;
    return menus;
}
}  // namespace

Menu::Menu() {
    Items.rootOf_ = this;
    LiveMenus().push_back(this);
}

Menu::~Menu() {
    auto& menus = LiveMenus();
    menus.erase(std::remove(menus.begin(), menus.end(), this), menus.end());
}

void Menu::EndLoading() {
    loading_ = false;
    Loaded();
}

BiDiMode Menu::GetBiDiMode() const {
    if (!parentBiDiMode_) return bidiMode_;
    HWND parent = BiDiParent();
    if (!parent) return BiDiMode::bdLeftToRight;
    const LONG exStyle = GetWindowLongA(parent, GWL_EXSTYLE);
    return (exStyle & (WS_EX_RTLREADING | WS_EX_LAYOUTRTL)) ? BiDiMode::bdRightToLeft : BiDiMode::bdLeftToRight;
}

void Menu::SetBiDiMode(BiDiMode value) {
    bidiMode_ = value;
    parentBiDiMode_ = false;
}

void Menu::MenuChanged(MenuItem* source, bool rebuild) {
    if (OnChange) OnChange(*this, source, rebuild);
}

MenuItem* Menu::ItemByCommand(UINT command) {
    if (command == 0 || command > commands_.size()) return nullptr;
    return commands_[command - 1];
}

bool Menu::HoldsBuiltItem(const MenuItem* item) const {
    return item && std::find(built_.begin(), built_.end(), item) != built_.end();
}

void Menu::ForgetBuild() {
    commands_.clear();
    built_.clear();
    nextCommand_ = 1;
}

void Menu::BuildInto(HMENU menu, MenuItem& parent) {
    for (size_t i = 0; i < parent.Count(); ++i) {
        MenuItem& item = parent.Item(i);
        item.command_ = 0;
        if (!item.Visible) continue;
        HMENU submenu = nullptr;
        if (!item.IsSeparator() && item.Count() > 0) {
            submenu = CreatePopupMenu();
            if (!submenu) RaiseLastOSError("CreatePopupMenu");
            // Until AppendItem takes it, the submenu (with whatever was built into it) is ours to free.
            try {
                BuildInto(submenu, item);
                built_.push_back(&item);
            } catch (...) {
                DestroyMenu(submenu);
                throw;
            }
        } else {
            if (!item.IsSeparator()) {
                commands_.push_back(&item);
                item.command_ = nextCommand_++;
            }
            built_.push_back(&item);
        }
        AppendItem(menu, item, submenu);
    }
}

void Menu::BuildAnew(HMENU menu) {
    std::vector<MenuItem*> lastCommands, lastBuilt;
    lastCommands.swap(commands_);
    lastBuilt.swap(built_);
    const UINT lastNext = nextCommand_;
    nextCommand_ = 1;
    try {
        BuildInto(menu, Items);
    } catch (...) {
        // The menu on screen still carries the numbers of the last build: they keep naming its items.
        for (MenuItem* item : commands_) item->command_ = 0;
        commands_.swap(lastCommands);
        built_.swap(lastBuilt);
        nextCommand_ = lastNext;
        for (size_t i = 0; i < commands_.size(); ++i) commands_[i]->command_ = static_cast<UINT>(i + 1);
        throw;
    }
}

void Menu::AppendItem(HMENU menu, MenuItem& item, HMENU submenu) {
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
    if (item.IsSeparator()) {
        mii.fType = MFT_SEPARATOR;
    } else {
        mii.fType = MFT_STRING;
        mii.fMask |= MIIM_STRING;
        mii.dwTypeData = const_cast<char*>(item.Caption.c_str());
        mii.cch = static_cast<UINT>(item.Caption.size());
        if (item.RadioItem) mii.fType |= MFT_RADIOCHECK;
    }
    if (OwnerDraw) mii.fType |= MFT_OWNERDRAW;
    if (IsRightToLeft()) mii.fType |= MFT_RIGHTORDER;
    if (item.Break == MenuBreak::mbBreak) mii.fType |= MFT_MENUBREAK;
    if (item.Break == MenuBreak::mbBarBreak) mii.fType |= MFT_MENUBARBREAK;
    if (!item.Enabled) mii.fState |= MFS_GRAYED;
    if (item.Checked) mii.fState |= MFS_CHECKED;
    if (item.Default) mii.fState |= MFS_DEFAULT;
    if (submenu) {
        mii.fMask |= MIIM_SUBMENU;
        mii.hSubMenu = submenu;
    }
    mii.wID = item.Command();
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(&item);
    if (!InsertMenuItemA(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &mii)) {
        if (submenu) DestroyMenu(submenu);
        RaiseLastOSError("InsertMenuItem");
    }
}

// ---- popup menus

// A hidden top-level window that owns the menu while it is open when no owner was given.
class PopupMenu::OwnerWindow : public Window {
public:
    OwnerWindow() {
        WindowParams p;
        p.className = "comp.PopupMenuOwner";
        p.style = WS_POPUP;
        p.exStyle = WS_EX_TOOLWINDOW;
        p.x = p.y = p.width = p.height = 0;
        Create(p);
    }
};

PopupMenu::PopupMenu() = default;

PopupMenu::~PopupMenu() {
    if (menu_) DestroyMenu(menu_);
}

HWND PopupMenu::Owner() const { return owner_; }

HMENU PopupMenu::Build() {
    if (menu_) DestroyMenu(menu_);
    menu_ = nullptr;
    ForgetBuild();
    HMENU menu = CreatePopupMenu();
    if (!menu) RaiseLastOSError("CreatePopupMenu");
    try {
        BuildInto(menu, Items);
    } catch (...) {
        DestroyMenu(menu);
        ForgetBuild();
        throw;
    }
    menu_ = menu;
    return menu;
}

MenuItem* PopupMenu::PopupAt(int x, int y) {
    // Asked again while the menu is open (by a message handled inside its menu loop): the open menu stays
    // as it is. Building anew would destroy it under the loop that shows it.
    if (menu_) return nullptr;
    if (OnPopup) OnPopup(*this);
    HWND owner = owner_;
    if (!owner) {
        if (!ownWindow_) ownWindow_ = std::make_unique<OwnerWindow>();
        owner = ownWindow_->Handle();
    }
    // Once built, nothing fails until the menu is closed and destroyed again.
    HMENU menu = Build();
    // The owner must be the foreground window, or the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(owner);
    UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, Alignment | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    MenuItem* chosen = ItemByCommand(command);
    DestroyMenu(menu_);
    menu_ = nullptr;
    ForgetBuild();
    if (chosen && chosen->Enabled) {
        chosen->Click();
        return chosen;
    }
    return nullptr;
}

// ---- main menus

MainMenu::MainMenu() = default;

MainMenu::~MainMenu() { Detach(); }

void MainMenu::Attach(HWND window) {
    Detach();
    window_ = window;
    UpdateItems();
}

void MainMenu::Detach() {
    if (window_ && IsWindow(window_) && GetMenu(window_) == menu_) SetMenu(window_, nullptr);
    // A window that went first took its menu bar with it.
    if (menu_ && IsMenu(menu_)) DestroyMenu(menu_);
    menu_ = nullptr;
    window_ = nullptr;
    ForgetBuild();
}

void MainMenu::UpdateItems() {
    if (!window_) return;
    HMENU bar = CreateMenu();
    if (!bar) RaiseLastOSError("CreateMenu");
    // A bar that can't be built goes; the window keeps the bar it shows, and its commands their items.
    try {
        BuildAnew(bar);
    } catch (...) {
        DestroyMenu(bar);
        throw;
    }
    HMENU old = menu_;
    menu_ = bar;
    SetMenu(window_, bar);
    if (old && IsMenu(old)) DestroyMenu(old);
    DrawMenuBar(window_);
}

void MainMenu::RedrawBar() const {
    if (window_) DrawMenuBar(window_);
}

// ---- requests from the menu windows

Font SystemMenuFont() {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return Font::FromLogFont(metrics.lfMenuFont);
    return Font();
}

namespace {

// The menu that holds the item of an owner-draw request, or nullptr.
MenuItem* RequestedItem(ULONG_PTR data) {
    auto* item = reinterpret_cast<MenuItem*>(data);
    for (Menu* menu : LiveMenus())
        if (menu->OwnerDraw && menu->HoldsBuiltItem(item)) return item;
    return nullptr;
}

class ScreenDC {
public:
    ScreenDC() : dc_(GetDC(nullptr)) {}
    ~ScreenDC() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    HDC Handle() const { return dc_; }

private:
    HDC dc_;
};

void MeasureRequest(MEASUREITEMSTRUCT& request) {
    MenuItem* item = RequestedItem(request.itemData);
    if (!item) return;
    ScreenDC screen;
    Canvas canvas(screen.Handle());
    canvas.SetFont(SystemMenuFont());
    int width = static_cast<int>(request.itemWidth), height = static_cast<int>(request.itemHeight);
    item->MeasureItem(canvas, width, height);
    // A copy: the handler may take itself off the item while it runs.
    if (MenuItem::MeasureItemEvent handler = item->OnMeasureItem) handler(*item, canvas, width, height);
    request.itemWidth = static_cast<UINT>(std::max(width, 0));
    request.itemHeight = static_cast<UINT>(std::max(height, 0));
}

void DrawRequest(const DRAWITEMSTRUCT& request) {
    MenuItem* item = RequestedItem(request.itemData);
    if (!item) return;
    Canvas canvas(request.hDC);
    canvas.SetFont(SystemMenuFont());
    const OwnerDrawState state = request.itemState;
    if ((state & ODS_SELECTED) && !item->IsMenuBarItem()) {
        canvas.SetBrushColor(clHighlight);
        canvas.SetFontColor(clHighlightText);
    } else {
        canvas.SetBrushColor(clMenu);
        canvas.SetFontColor((state & ODS_INACTIVE) ? clGrayText : clMenuText);
    }
    if (MenuItem::AdvancedDrawItemEvent advanced = item->OnAdvancedDrawItem)
        advanced(*item, canvas, request.rcItem, state);
    else if (MenuItem::DrawItemEvent plain = item->OnDrawItem)
        plain(*item, canvas, request.rcItem, (state & ODS_SELECTED) != 0);
    else
        item->DrawItem(canvas, request.rcItem, state);
}

}  // namespace

bool DispatchMenuMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_MEASUREITEM: {
            auto* request = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (wParam != 0 || !request || request->CtlType != ODT_MENU || !RequestedItem(request->itemData))
                return false;
            MeasureRequest(*request);
            result = TRUE;
            return true;
        }
        case WM_DRAWITEM: {
            auto* request = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (wParam != 0 || !request || request->CtlType != ODT_MENU || !RequestedItem(request->itemData))
                return false;
            DrawRequest(*request);
            result = TRUE;
            return true;
        }
        case WM_COMMAND: {
            if (HIWORD(wParam) != 0 || lParam != 0) return false;
            for (Menu* menu : LiveMenus()) {
                auto* bar = dynamic_cast<MainMenu*>(menu);
                if (!bar || bar->WindowHandle() != hwnd) continue;
                MenuItem* item = bar->ItemByCommand(LOWORD(wParam));
                if (!item) return false;
                if (item->Enabled) item->Click();
                result = 0;
                return true;
            }
            return false;
        }
        default:
            return false;
    }
}

}  // namespace comp
