// Popup menu building and the menu loop.
#include "menus.h"

#include "exceptions.h"
#include "window.h"

namespace comp {

MenuItem& MenuItem::Add(const std::string& caption, std::function<void(MenuItem&)> onClick, const std::string& name) {
    auto item = std::make_unique<MenuItem>(caption);
    item->OnClick = std::move(onClick);
    item->Name = name;
    item->parent_ = this;
    items_.push_back(std::move(item));
    return *items_.back();
}

MenuItem& MenuItem::AddSeparator(const std::string& hint) {
    MenuItem& item = Add("-");
    item.Hint = hint;
    return item;
}

MenuItem* MenuItem::Find(const std::string& name) {
    for (auto& item : items_) {
        if (item->Name == name) return item.get();
        if (MenuItem* found = item->Find(name)) return found;
    }
    return nullptr;
}

void MenuItem::Click() {
    if (OnClick) OnClick(*this);
}

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

void PopupMenu::AppendItem(HMENU menu, MenuItem& item, HMENU submenu) {
    if (item.IsSeparator()) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        return;
    }
    UINT flags = MF_STRING;
    if (!item.Enabled) flags |= MF_GRAYED;
    if (item.Checked) flags |= MF_CHECKED;
    if (submenu) {
        AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), item.Caption.c_str());
    } else {
        AppendMenuA(menu, flags, item.Command(), item.Caption.c_str());
        if (item.Default) SetMenuDefaultItem(menu, item.Command(), FALSE);
    }
}

void PopupMenu::BuildInto(HMENU menu, MenuItem& parent) {
    for (size_t i = 0; i < parent.Count(); ++i) {
        MenuItem& item = parent.Item(i);
        item.command_ = 0;
        if (!item.Visible) continue;
        HMENU submenu = nullptr;
        if (!item.IsSeparator() && item.Count() > 0) {
            submenu = CreatePopupMenu();
            if (!submenu) RaiseLastOSError("CreatePopupMenu");
            BuildInto(submenu, item);
        } else if (!item.IsSeparator()) {
            item.command_ = nextCommand_++;
            commands_.push_back(&item);
        }
        AppendItem(menu, item, submenu);
    }
}

HMENU PopupMenu::Build() {
    if (menu_) DestroyMenu(menu_);
    menu_ = nullptr;
    commands_.clear();
    nextCommand_ = 1;
    HMENU menu = CreatePopupMenu();
    if (!menu) RaiseLastOSError("CreatePopupMenu");
    menu_ = menu;
    BuildInto(menu, Items);
    return menu;
}

MenuItem* PopupMenu::ItemByCommand(UINT command) {
    if (command == 0 || command > commands_.size()) return nullptr;
    return commands_[command - 1];
}

MenuItem* PopupMenu::PopupAt(int x, int y) {
    if (OnPopup) OnPopup(*this);
    HMENU menu = Build();
    HWND owner = owner_;
    if (!owner) {
        if (!ownWindow_) ownWindow_ = std::make_unique<OwnerWindow>();
        owner = ownWindow_->Handle();
    }
    // The owner must be the foreground window, or the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(owner);
    UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, Alignment | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    MenuItem* chosen = ItemByCommand(command);
    DestroyMenu(menu_);
    menu_ = nullptr;
    if (chosen && chosen->Enabled) {
        chosen->Click();
        return chosen;
    }
    return nullptr;
}

}  // namespace comp
