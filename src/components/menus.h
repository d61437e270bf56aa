// A plain popup menu: a tree of items (caption, enabled, checked, visible, OnClick, submenus,
// separators) that becomes a Win32 popup menu each time it pops up. PopupAt runs the menu loop with
// TrackPopupMenu and calls the chosen item's OnClick after the menu has closed.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace comp {

class MenuItem {
public:
    MenuItem() = default;
    explicit MenuItem(std::string caption) : Caption(std::move(caption)) {}
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    std::string Name;     // the item's name in code (miExit, ...)
    std::string Caption;  // "-" makes a separator; "&" marks the mnemonic
    std::string Hint;     // a separator's caption for menus that draw one
    bool Enabled = true;
    bool Checked = false;
    bool Visible = true;
    bool Default = false;
    std::function<void(MenuItem& sender)> OnClick;

    // Appends an item (or submenu entry) and returns it; the item belongs to this one.
    MenuItem& Add(const std::string& caption, std::function<void(MenuItem&)> onClick = nullptr,
                  const std::string& name = "");
    MenuItem& AddSeparator(const std::string& hint = "");
    void Clear() { items_.clear(); }

    size_t Count() const { return items_.size(); }
    MenuItem& Item(size_t index) { return *items_.at(index); }
    const MenuItem& Item(size_t index) const { return *items_.at(index); }
    // Depth-first search by Name; nullptr when none.
    MenuItem* Find(const std::string& name);
    MenuItem* Parent() const { return parent_; }

    bool IsSeparator() const { return Caption == "-"; }
    // Runs OnClick (when set).
    void Click();

    // The command number of this item in the menu last built (0 for separators and submenus).
    UINT Command() const { return command_; }

private:
    friend class PopupMenu;
    std::vector<std::unique_ptr<MenuItem>> items_;
    MenuItem* parent_ = nullptr;
    UINT command_ = 0;
};

class PopupMenu {
public:
    PopupMenu();
    virtual ~PopupMenu();
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    MenuItem Items;  // the root: its children are the menu's items
    std::function<void(PopupMenu& sender)> OnPopup;
    // TPM_* alignment flags for TrackPopupMenu (TPM_LEFTALIGN | TPM_TOPALIGN by default).
    UINT Alignment = TPM_LEFTALIGN | TPM_TOPALIGN;

    // The window that owns the menu while it is open. nullptr: a hidden window of the menu's own.
    void SetOwner(HWND owner) { owner_ = owner; }
    HWND Owner() const;

    // Runs OnPopup, builds the menu, shows it at the screen point and runs the menu loop; after the menu
    // closes the chosen item's OnClick runs. Returns the chosen item or nullptr.
    MenuItem* PopupAt(int x, int y);

    // The menu handle while it is open (0 otherwise): for tests and for drawing code.
    HMENU Handle() const { return menu_; }

    // The item with a command number in the menu last built, or nullptr.
    MenuItem* ItemByCommand(UINT command);

protected:
    // Builds the Win32 menu from the item tree. Menus that draw their own items override AppendItem.
    HMENU Build();
    virtual void AppendItem(HMENU menu, MenuItem& item, HMENU submenu);

private:
    void BuildInto(HMENU menu, MenuItem& parent);

    class OwnerWindow;
    std::unique_ptr<OwnerWindow> ownWindow_;
    HWND owner_ = nullptr;
    HMENU menu_ = nullptr;
    UINT nextCommand_ = 1;
    std::vector<MenuItem*> commands_;
};

}  // namespace comp
