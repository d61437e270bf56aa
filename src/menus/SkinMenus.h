// The skinned menus: a popup menu (TSkCustomBarPopupMenu, published as TSkBarPopupMenu) and a main menu
// (TSkCustomBarMainMenu) whose items are all owner-drawn by the library, with a side bar along the
// first-level items, skinned separators and an optional draw module; the interface ISkinMenusIntf through
// which the drawing code, the options and the draw module reach a menu; the per-menu bar state
// TSkBarProtected; the hooking of the menus' handlers into their items; and the platform flags.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "components/canvas.h"
#include "components/menus.h"
#include "menus/SkMenuOptions.h"

class TSkMenusDrawModule;

// The parts of the side bar, a set of TBarPart bits; painted in the order gradient, background picture,
// picture, caption whatever the set's order.
enum TBarPart { bpGradient, bpPicture, bpBackPicture, bpCaption };
using TBarParts = unsigned;
constexpr TBarParts BarPart(TBarPart part) { return 1u << part; }

using TOnBeforeDrawBarEvent =
    std::function<void(comp::Menu& sender, comp::Canvas& canvas, RECT rect, bool& defaultDraw)>;
using TOnAdvancedBeforeDrawBarEvent =
    std::function<void(comp::Menu& sender, comp::Canvas& canvas, RECT rect, TBarParts& drawParts)>;
using TOnAfterDrawBarEvent = std::function<void(comp::Menu& sender, comp::Canvas& canvas, RECT rect)>;
using TOnMeasureMenuItemEvent =
    std::function<void(comp::Menu& sender, comp::MenuItem& item, comp::Canvas& canvas, int& width, int& height,
                       bool barVisible, bool& defaultMeasure)>;

// The side-bar state of one menu: the cached bar picture and the bookkeeping of when it is painted again.
class TSkBarProtected {
public:
    // Raises ERequireOwner when |menu| is nullptr.
    explicit TSkBarProtected(comp::Menu* menu);
    TSkBarProtected(const TSkBarProtected&) = delete;
    TSkBarProtected& operator=(const TSkBarProtected&) = delete;

    comp::Menu* Menu() const { return menu_; }
    // The bar height in pixels: summed from measured items, then the menu window's client height.
    int Height() const { return height_; }
    void SetHeight(int value) { height_ = value; }
    // True from a popup (or a reset) until the first item with the bar is drawn; True also zeroes Height.
    bool Measuring() const { return measuring_; }
    void SetMeasuring(bool value);
    // The cached bar picture, made empty on first use.
    comp::Bitmap& GetBitmap();
    bool HasBitmap() const { return bitmap_ != nullptr; }
    void FreeBitmap() { bitmap_.reset(); }
    // Frees the picture and starts a new measuring pass.
    void Reset();

    // True while the picture is up to date.
    bool Valid = false;

private:
    comp::Menu* menu_;
    int height_ = 0;
    bool measuring_ = true;
    std::unique_ptr<comp::Bitmap> bitmap_;
};

// ---- platform flags

struct TSkPlatformFlags {
    bool IsWin98;    // major version above 4, or 4 with a minor version above 0
    bool IsWinXP;    // NT, major version above 4 and minor version above 0
    bool IsWin2000;  // NT and major version above 4
};
TSkPlatformFlags PlatformFlagsFor(DWORD majorVersion, DWORD minorVersion, DWORD platformId);
// The flags of the running system, computed once.
const TSkPlatformFlags& PlatformFlags();
// msAuto: the XP look on a system with IsWinXP, else the standard one; other styles stay.
TSkMenuStyle ResolveMenuStyle(TSkMenuStyle style, bool isWinXP);

// ---- the interface of both skinned menus

class ISkinMenusIntf {
public:
    virtual void UpdateItems() = 0;
    virtual void ResetBar() = 0;
    // The style in effect: never msAuto.
    virtual TSkMenuStyle GetActiveMenuStyle() = 0;
    virtual comp::Menu* GetMenu() = 0;
    virtual TSkBar& GetBar() = 0;
    virtual TSkSeparators& GetSeparators() = 0;
    virtual TSkBarProtected& GetBarProtected() = 0;
    virtual void SetMenuWindow(HWND handle) = 0;
    virtual BYTE GetMenuAlpha() = 0;
    virtual void SetMenuAlpha(BYTE value) = 0;
    virtual bool GetCustomFrame() = 0;
    virtual void SetCustomFrame(bool value) = 0;
    virtual const comp::Font& GetMenuFont() = 0;
    virtual void SetMenuFont(const comp::Font& value) = 0;
    virtual TSkMenuStyle GetMenuStyle() = 0;
    virtual void SetMenuStyle(TSkMenuStyle value) = 0;
    virtual bool GetUseSystemFont() = 0;
    virtual void SetUseSystemFont(bool value) = 0;
    virtual const TOnBeforeDrawBarEvent& GetOnBeforeDrawBar() = 0;
    virtual void SetOnBeforeDrawBar(TOnBeforeDrawBarEvent value) = 0;
    virtual const TOnAdvancedBeforeDrawBarEvent& GetOnAdvancedBeforeDrawBar() = 0;
    virtual void SetOnAdvancedBeforeDrawBar(TOnAdvancedBeforeDrawBarEvent value) = 0;
    virtual const TOnAfterDrawBarEvent& GetOnAfterDrawBar() = 0;
    virtual void SetOnAfterDrawBar(TOnAfterDrawBarEvent value) = 0;
    virtual const TOnMeasureMenuItemEvent& GetOnMeasureMenuItem() = 0;
    virtual void SetOnMeasureMenuItem(TOnMeasureMenuItemEvent value) = 0;
    virtual TSkMenusDrawModule* GetDrawModule() = 0;
    // Detaches the module attached before (if any) and attaches |value| (nullptr: none).
    virtual void SetDrawModule(TSkMenusDrawModule* value) = 0;
    // The module is being destroyed: a menu that holds it forgets it (and nothing else).
    virtual void DrawModuleFreed(TSkMenusDrawModule* module) = 0;

protected:
    ~ISkinMenusIntf() = default;
};

// The interface of a skinned menu, or nullptr for any other menu.
ISkinMenusIntf* GetMenuIntf(comp::Menu* menu);
// The menu that holds the item (nullptr for none) and its interface.
comp::Menu* GetItemMenu(const comp::MenuItem* item);
ISkinMenusIntf* GetItemMenuIntf(const comp::MenuItem* item);

// The item sits directly in a main menu's bar / directly in a popup menu.
bool IsMenuBarItem(const comp::MenuItem& item);
bool IsPopupTopLevelItem(const comp::MenuItem& item);
// The item or one before it in its parent's list is visible and starts a new column.
bool IsInBrokenColumn(const comp::MenuItem& item);
// The first visible item of a main menu's bar, or nullptr.
comp::MenuItem* FirstVisibleTopItem(comp::MainMenu& menu);
// The item's drop-down is the one that carries a main menu's bar.
bool IsBarColumnItem(comp::MainMenu& menu, const comp::MenuItem* item);

// Puts |measure| and |draw| on |item| (nullptr: every item of the menu, and with |recursive| their sub-items,
// depth first). Nothing happens while the menu is loading, nor to an item whose draw handler already is
// of |draw|'s kind. With |keepOwnHandlers| an item keeps a measure handler of its own, and a draw handler
// of its own (advanced or plain).
void HookMenuItems(comp::Menu& menu, comp::MenuItem* item, bool recursive,
                   const comp::MenuItem::MeasureItemEvent& measure, const comp::MenuItem::AdvancedDrawItemEvent& draw,
                   bool keepOwnHandlers);

// ---- what both menus share

template <class MenuBase>
class TSkMenu : public MenuBase, public ISkinMenusIntf {
public:
    TSkMenu();
    ~TSkMenu() override;

    // The item handlers that the menu puts on its items.
    void MenuItemMeasure(comp::MenuItem& sender, comp::Canvas& canvas, int& width, int& height);
    void MenuItemAdvancedDraw(comp::MenuItem& sender, comp::Canvas& canvas, RECT rect, comp::OwnerDrawState state);

    // Hands the menu's options change to the bar: with |resetBar| a new measuring pass and a stale bar
    // picture; with |resetBar| or |rebuild| the items are built again; with neither a menu bar is redrawn.
    virtual void RefreshMenu(bool resetBar, bool rebuild);

    // ISkinMenusIntf
    void UpdateItems() override { MenuBase::UpdateItems(); }
    void ResetBar() override { barProtected_->Reset(); }
    TSkMenuStyle GetActiveMenuStyle() override { return ResolveMenuStyle(menuStyle_, PlatformFlags().IsWinXP); }
    comp::Menu* GetMenu() override { return this; }
    TSkBar& GetBar() override { return *bar_; }
    TSkSeparators& GetSeparators() override { return *separators_; }
    TSkBarProtected& GetBarProtected() override { return *barProtected_; }
    void SetMenuWindow(HWND) override {}
    BYTE GetMenuAlpha() override { return menuAlpha_; }
    void SetMenuAlpha(BYTE value) override { menuAlpha_ = value; }
    bool GetCustomFrame() override { return customFrame_; }
    void SetCustomFrame(bool value) override { customFrame_ = value; }
    const comp::Font& GetMenuFont() override { return menuFont_; }
    void SetMenuFont(const comp::Font& value) override { menuFont_ = value; }
    TSkMenuStyle GetMenuStyle() override { return menuStyle_; }
    void SetMenuStyle(TSkMenuStyle value) override { menuStyle_ = value; }
    bool GetUseSystemFont() override { return useSystemFont_; }
    void SetUseSystemFont(bool value) override { useSystemFont_ = value; }
    const TOnBeforeDrawBarEvent& GetOnBeforeDrawBar() override { return onBeforeDrawBar_; }
    void SetOnBeforeDrawBar(TOnBeforeDrawBarEvent value) override { onBeforeDrawBar_ = std::move(value); }
    const TOnAdvancedBeforeDrawBarEvent& GetOnAdvancedBeforeDrawBar() override { return onAdvancedBeforeDrawBar_; }
    void SetOnAdvancedBeforeDrawBar(TOnAdvancedBeforeDrawBarEvent value) override {
        onAdvancedBeforeDrawBar_ = std::move(value);
    }
    const TOnAfterDrawBarEvent& GetOnAfterDrawBar() override { return onAfterDrawBar_; }
    void SetOnAfterDrawBar(TOnAfterDrawBarEvent value) override { onAfterDrawBar_ = std::move(value); }
    const TOnMeasureMenuItemEvent& GetOnMeasureMenuItem() override { return onMeasureMenuItem_; }
    void SetOnMeasureMenuItem(TOnMeasureMenuItemEvent value) override { onMeasureMenuItem_ = std::move(value); }
    TSkMenusDrawModule* GetDrawModule() override { return drawModule_; }
    void DrawModuleFreed(TSkMenusDrawModule* module) override;

protected:
    // Whether an item carries the bar (the bar is visible and the item lies in the bar's drop-down).
    virtual bool ItemCarriesBar(const comp::MenuItem& item) = 0;
    // Hooks |item| (nullptr: all items), recursively, keeping the items' own handlers.
    void HookItems(comp::MenuItem* item);
    // Detaches the module attached before, also from another menu that still holds |value|, and attaches
    // |value|.
    void AttachDrawModule(TSkMenusDrawModule* value);

    std::unique_ptr<TSkBarProtected> barProtected_;
    std::unique_ptr<TSkBar> bar_;
    std::unique_ptr<TSkSeparators> separators_;
    TOnBeforeDrawBarEvent onBeforeDrawBar_;
    TOnAdvancedBeforeDrawBarEvent onAdvancedBeforeDrawBar_;
    TOnAfterDrawBarEvent onAfterDrawBar_;
    TOnMeasureMenuItemEvent onMeasureMenuItem_;
    comp::Font menuFont_;
    TSkMenuStyle menuStyle_ = msAuto;
    bool useSystemFont_ = true;
    TSkMenusDrawModule* drawModule_ = nullptr;
    bool customFrame_ = false;
    BYTE menuAlpha_ = 255;
};

// ---- the popup menu

class TSkCustomBarPopupMenu : public TSkMenu<comp::PopupMenu> {
public:
    TSkCustomBarPopupMenu();

    void Loaded() override;
    void MenuChanged(comp::MenuItem* source, bool rebuild) override;
    // Starts a new measuring pass of the bar, then shows the menu.
    comp::MenuItem* PopupAt(int x, int y) override;
    virtual comp::MenuItem* PopupAtPoint(POINT p);

    void SetMenuWindow(HWND handle) override { menuWindow_ = handle; }
    // The window in which the menu was last drawn.
    HWND MenuWindow() const { return menuWindow_; }
    void SetDrawModule(TSkMenusDrawModule* value) override;

protected:
    bool ItemCarriesBar(const comp::MenuItem& item) override;

    // The properties that TSkBarPopupMenu publishes.
    TSkBar& Bar() { return *bar_; }
    void SetBar(const TSkBar& value) { bar_->Assign(value); }
    TSkSeparators& Separators() { return *separators_; }
    void SetSeparators(const TSkSeparators& value) { separators_->Assign(value); }
    comp::Font& MenuFont() { return menuFont_; }
    TSkMenuStyle MenuStyle() const { return menuStyle_; }
    bool UseSystemFont() const { return useSystemFont_; }
    TSkMenusDrawModule* DrawModule() const { return drawModule_; }

private:
    HWND menuWindow_ = nullptr;
};

// The skinned popup menu with its options in reach.
class TSkBarPopupMenu : public TSkCustomBarPopupMenu {
public:
    using TSkCustomBarPopupMenu::Bar;
    using TSkCustomBarPopupMenu::DrawModule;
    using TSkCustomBarPopupMenu::MenuFont;
    using TSkCustomBarPopupMenu::MenuStyle;
    using TSkCustomBarPopupMenu::Separators;
    using TSkCustomBarPopupMenu::SetBar;
    using TSkCustomBarPopupMenu::SetSeparators;
    using TSkCustomBarPopupMenu::UseSystemFont;
};

// ---- the main menu: configured through ISkinMenusIntf

class TSkCustomBarMainMenu : public TSkMenu<comp::MainMenu> {
public:
    TSkCustomBarMainMenu();

    void Loaded() override;
    void MenuChanged(comp::MenuItem* source, bool rebuild) override;

    void ResetBar() override;
    void SetMenuFont(const comp::Font& value) override;
    void SetMenuStyle(TSkMenuStyle value) override;
    void SetUseSystemFont(bool value) override;
    void SetDrawModule(TSkMenusDrawModule* value) override;

protected:
    bool ItemCarriesBar(const comp::MenuItem& item) override;

private:
    // Makes the bar be built again when it has items.
    void RebuildBar();
};

extern template class TSkMenu<comp::PopupMenu>;
extern template class TSkMenu<comp::MainMenu>;
