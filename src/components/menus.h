// Menus: a tree of items (caption, hint, enabled, checked, visible, radio, column break, glyph, shortcut,
// OnClick, submenus, separators) that becomes a Win32 menu when it is shown. A popup menu is built each
// time it pops up; PopupAt runs the menu loop with TrackPopupMenu and calls the chosen item's OnClick
// after the menu has closed. A main menu is the menu bar of a window and dispatches its commands.
//
// Owner-drawn menus (OwnerDraw) have the platform ask each item for its size (OnMeasureItem, after the
// default size) and its painting (OnAdvancedDrawItem, else OnDrawItem, else a plain default painting).
// The requests reach the items through any window of this layer that owns the menu while it is open.
//
// A menu reads right to left (BiDiMode) by its own choice, or with ParentBiDiMode as the window it belongs
// to does (right-to-left reading or layout); its items are then built in right-to-left order.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/bitmap.h"
#include "components/font.h"

namespace comp {

class Canvas;
class ImageList;
class Menu;

enum class MenuBreak { mbNone, mbBreak, mbBarBreak };

enum class BiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// The owner-draw state of an item: the platform's ODS_* flags.
using OwnerDrawState = UINT;

// Shortcut codes: a virtual-key code with modifier flags above it.
constexpr int scShift = 0x2000;
constexpr int scCtrl = 0x4000;
constexpr int scAlt = 0x8000;
// "Ctrl+I", "Shift+F5", ...; "" for 0.
std::string ShortCutToText(int shortCut);

class MenuItem {
public:
    using ClickEvent = std::function<void(MenuItem& sender)>;
    using MeasureItemEvent = std::function<void(MenuItem& sender, Canvas& canvas, int& width, int& height)>;
    using AdvancedDrawItemEvent =
        std::function<void(MenuItem& sender, Canvas& canvas, RECT rect, OwnerDrawState state)>;
    using DrawItemEvent = std::function<void(MenuItem& sender, Canvas& canvas, RECT rect, bool selected)>;

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
    bool RadioItem = false;
    MenuBreak Break = MenuBreak::mbNone;
    int ImageIndex = -1;            // into the image list that applies (GetImageList)
    comp::Bitmap Bitmap;            // the item's own glyph; may be empty
    int ShortCut = 0;               // shown beside the caption; 0 none
    ImageList* SubMenuImages = nullptr;  // the image list of this item's submenu (a reference)
    ClickEvent OnClick;
    MeasureItemEvent OnMeasureItem;
    AdvancedDrawItemEvent OnAdvancedDrawItem;
    DrawItemEvent OnDrawItem;

    // Appends an item (or submenu entry) and returns it; the item belongs to this one. The menu that holds
    // the tree is told of the new item (Menu::MenuChanged).
    MenuItem& Add(const std::string& caption, ClickEvent onClick = nullptr, const std::string& name = "");
    MenuItem& AddSeparator(const std::string& hint = "");
    void Clear();

    size_t Count() const { return items_.size(); }
    MenuItem& Item(size_t index) { return *items_.at(index); }
    const MenuItem& Item(size_t index) const { return *items_.at(index); }
    // Depth-first search by Name; nullptr when none.
    MenuItem* Find(const std::string& name);
    MenuItem* Parent() const { return parent_; }
    // The position among the parent's items; -1 for a menu's root item.
    int MenuIndex() const;
    // The menu whose item tree holds this item, or nullptr.
    Menu* GetParentMenu() const;
    // For a menu's root item: that menu, else nullptr.
    Menu* RootOf() const { return rootOf_; }
    // The image list that applies: the nearest parent's SubMenuImages, else the menu's Images.
    ImageList* GetImageList() const;
    // Sits directly in the menu bar of a main menu.
    bool IsMenuBarItem() const;

    bool IsSeparator() const { return Caption == "-"; }
    // Runs OnClick (when set).
    void Click();

    // The default size of an owner-drawn item on |canvas| (which holds the menu font): room for the glyph
    // column, the caption and the shortcut text.
    void MeasureItem(Canvas& canvas, int& width, int& height) const;
    // The plain painting of an owner-drawn item that has no drawing handler of its own.
    void DrawItem(Canvas& canvas, RECT rect, OwnerDrawState state) const;

    // The command number of this item in the menu last built (0 for separators and submenus).
    UINT Command() const { return command_; }

private:
    friend class Menu;
    std::vector<std::unique_ptr<MenuItem>> items_;
    MenuItem* parent_ = nullptr;
    Menu* rootOf_ = nullptr;
    UINT command_ = 0;
};

// What popup and main menus share: the item tree, the image list, owner drawing, the loading state
// (a menu declared with its items is "loading" until EndLoading) and the change notice.
class Menu {
public:
    Menu();
    virtual ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    MenuItem Items;                 // the root: its children are the menu's items
    ImageList* Images = nullptr;    // a reference
    bool OwnerDraw = false;
    std::function<void(Menu& sender, MenuItem* source, bool rebuild)> OnChange;

    // The reading order in effect: the menu's own, or with ParentBiDiMode that of its window.
    BiDiMode GetBiDiMode() const;
    // Sets the menu's own reading order; ParentBiDiMode becomes false.
    void SetBiDiMode(BiDiMode value);
    bool ParentBiDiMode() const { return parentBiDiMode_; }
    void SetParentBiDiMode(bool value) { parentBiDiMode_ = value; }
    // Any reading order but left to right.
    bool IsRightToLeft() const { return GetBiDiMode() != BiDiMode::bdLeftToRight; }

    bool Loading() const { return loading_; }
    void BeginLoading() { loading_ = true; }
    // Ends the loading state and calls Loaded.
    void EndLoading();
    virtual void Loaded() {}
    // An item of the tree changed (|source|; nullptr: the whole tree). Fires OnChange.
    virtual void MenuChanged(MenuItem* source, bool rebuild);
    // Builds the platform menu of a menu that is shown anew, so that its items are measured again.
    virtual void UpdateItems() {}
    // The window the menu belongs to (a main menu's window), else 0.
    virtual HWND WindowHandle() const { return nullptr; }
    // The window whose reading order a menu with ParentBiDiMode takes, or 0.
    virtual HWND BiDiParent() const { return WindowHandle(); }

    // The item with a command number in the menu last built, or nullptr.
    MenuItem* ItemByCommand(UINT command);
    // Whether |item| is part of the menu last built (owner-draw requests carry the item).
    bool HoldsBuiltItem(const MenuItem* item) const;

protected:
    // Appends the visible items of |parent| to |menu|, making the submenus on the way.
    void BuildInto(HMENU menu, MenuItem& parent);
    // Builds the whole item tree into |menu| under a new numbering. When that fails the numbering of the
    // last build stays in effect (and |menu| is the caller's to destroy).
    void BuildAnew(HMENU menu);
    void ForgetBuild();
    // Appends one item; |submenu| is its submenu or nullptr.
    virtual void AppendItem(HMENU menu, MenuItem& item, HMENU submenu);

private:
    friend class MenuItem;
    bool loading_ = false;
    BiDiMode bidiMode_ = BiDiMode::bdLeftToRight;
    bool parentBiDiMode_ = true;
    UINT nextCommand_ = 1;
    std::vector<MenuItem*> commands_;
    std::vector<MenuItem*> built_;
};

class PopupMenu : public Menu {
public:
    PopupMenu();
    ~PopupMenu() override;

    std::function<void(PopupMenu& sender)> OnPopup;
    // TPM_* alignment flags for TrackPopupMenu (TPM_LEFTALIGN | TPM_TOPALIGN by default).
    UINT Alignment = TPM_LEFTALIGN | TPM_TOPALIGN;

    // The window that owns the menu while it is open. nullptr: a hidden window of the menu's own.
    void SetOwner(HWND owner) { owner_ = owner; }
    HWND Owner() const;
    HWND BiDiParent() const override { return owner_; }

    // Runs OnPopup, builds the menu, shows it at the screen point and runs the menu loop; after the menu
    // closes the chosen item's OnClick runs. Returns the chosen item or nullptr; nullptr at once, touching
    // nothing, while the menu is already open.
    virtual MenuItem* PopupAt(int x, int y);

    // The menu handle while it is open (0 otherwise): for tests and for drawing code.
    HMENU Handle() const { return menu_; }

protected:
    // Builds the Win32 menu from the item tree.
    HMENU Build();

private:
    class OwnerWindow;
    std::unique_ptr<OwnerWindow> ownWindow_;
    HWND owner_ = nullptr;
    HMENU menu_ = nullptr;
};

// The menu bar of a window: built when attached and by UpdateItems; a chosen item's OnClick runs from
// the window's WM_COMMAND.
class MainMenu : public Menu {
public:
    MainMenu();
    ~MainMenu() override;

    // Becomes the menu bar of |window| (a window of this layer).
    void Attach(HWND window);
    void Detach();
    HWND WindowHandle() const override { return window_; }
    HMENU Handle() const { return menu_; }
    // Builds the bar anew and redraws it (when attached).
    void UpdateItems() override;
    // Redraws the bar of the attached window.
    void RedrawBar() const;

private:
    HMENU menu_ = nullptr;
    HWND window_ = nullptr;
};

// The system's menu font.
Font SystemMenuFont();

// Routes the menu requests that reach a window of this layer: WM_MEASUREITEM and WM_DRAWITEM for items of
// an owner-drawn menu that is shown, WM_COMMAND for the main menu attached to |hwnd|. True when handled.
bool DispatchMenuMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace comp
