// The skinned popup and main menus, their bar state, the item queries and the hooking of the item
// handlers.
#include "menus/SkinMenus.h"

#include "menus/SkDrawModule.h"
#include "menus/SkExceptions.h"
#include "menus/SkMenuItemDraw.h"
#include "menus/SkSideBar.h"

// ---- bar state

TSkBarProtected::TSkBarProtected(comp::Menu* menu) : menu_(menu) {
    if (!menu) throw ERequireOwner("TSkBarProtected");
}

void TSkBarProtected::SetMeasuring(bool value) {
    measuring_ = value;
    if (value) height_ = 0;
}

comp::Bitmap& TSkBarProtected::GetBitmap() {
    if (!bitmap_) bitmap_ = std::make_unique<comp::Bitmap>();
    return *bitmap_;
}

void TSkBarProtected::Reset() {
    bitmap_.reset();
    SetMeasuring(true);
}

// ---- platform flags

TSkPlatformFlags PlatformFlagsFor(DWORD majorVersion, DWORD minorVersion, DWORD platformId) {
    const bool nt = platformId == VER_PLATFORM_WIN32_NT;
    TSkPlatformFlags flags;
    flags.IsWin98 = majorVersion > 4 || (majorVersion == 4 && minorVersion > 0);
    flags.IsWinXP = nt && majorVersion > 4 && minorVersion > 0;
    flags.IsWin2000 = nt && majorVersion > 4;
    return flags;
}

const TSkPlatformFlags& PlatformFlags() {
    static const TSkPlatformFlags flags = [] {
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof info;
        if (!GetVersionExA(&info)) return PlatformFlagsFor(0, 0, 0);
        return PlatformFlagsFor(info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId);
    }();
    return flags;
}

TSkMenuStyle ResolveMenuStyle(TSkMenuStyle style, bool isWinXP) {
    if (style != msAuto) return style;
    return isWinXP ? msWindowsXP : msStandard;
}

// ---- item queries

ISkinMenusIntf* GetMenuIntf(comp::Menu* menu) { return dynamic_cast<ISkinMenusIntf*>(menu); }

comp::Menu* GetItemMenu(const comp::MenuItem* item) { return item ? item->GetParentMenu() : nullptr; }

ISkinMenusIntf* GetItemMenuIntf(const comp::MenuItem* item) { return GetMenuIntf(GetItemMenu(item)); }

bool IsMenuBarItem(const comp::MenuItem& item) {
    const comp::MenuItem* parent = item.Parent();
    return parent && dynamic_cast<comp::MainMenu*>(parent->RootOf()) != nullptr;
}

bool IsPopupTopLevelItem(const comp::MenuItem& item) {
    const comp::MenuItem* parent = item.Parent();
    return parent && dynamic_cast<comp::PopupMenu*>(parent->RootOf()) != nullptr;
}

bool IsInBrokenColumn(const comp::MenuItem& item) {
    comp::MenuItem* parent = item.Parent();
    if (!parent) return false;
    for (int i = item.MenuIndex(); i >= 0; --i) {
        const comp::MenuItem& before = parent->Item(static_cast<size_t>(i));
        if (before.Visible && before.Break != comp::MenuBreak::mbNone) return true;
    }
    return false;
}

comp::MenuItem* FirstVisibleTopItem(comp::MainMenu& menu) {
    for (size_t i = 0; i < menu.Items.Count(); ++i)
        if (menu.Items.Item(i).Visible) return &menu.Items.Item(i);
    return nullptr;
}

bool IsBarColumnItem(comp::MainMenu& menu, const comp::MenuItem* item) {
    if (!item) return false;
    comp::MenuItem* first = FirstVisibleTopItem(menu);
    return first && item->Parent() == first;
}

// ---- hooking

namespace {

void HookMenuItem(comp::Menu& menu, comp::MenuItem& item, const comp::MenuItem::MeasureItemEvent& measure,
                  const comp::MenuItem::AdvancedDrawItemEvent& draw, bool keepOwnHandlers) {
    if (menu.Loading()) return;
    if (item.OnAdvancedDrawItem && item.OnAdvancedDrawItem.target_type() == draw.target_type()) return;
    if (!item.OnMeasureItem || !keepOwnHandlers) item.OnMeasureItem = measure;
    if ((!item.OnAdvancedDrawItem && !item.OnDrawItem) || !keepOwnHandlers) item.OnAdvancedDrawItem = draw;
}

void HookChildren(comp::Menu& menu, comp::MenuItem& parent, bool recursive,
                  const comp::MenuItem::MeasureItemEvent& measure, const comp::MenuItem::AdvancedDrawItemEvent& draw,
                  bool keepOwnHandlers) {
    for (size_t i = 0; i < parent.Count(); ++i) {
        comp::MenuItem& item = parent.Item(i);
        HookMenuItem(menu, item, measure, draw, keepOwnHandlers);
        if (recursive && item.Count() > 0) HookChildren(menu, item, recursive, measure, draw, keepOwnHandlers);
    }
}

// The handlers a skinned menu puts on its items; their type tells a hooked item.
template <class M>
struct ItemMeasureHook {
    M* menu;
    void operator()(comp::MenuItem& sender, comp::Canvas& canvas, int& width, int& height) const {
        menu->MenuItemMeasure(sender, canvas, width, height);
    }
};

template <class M>
struct ItemDrawHook {
    M* menu;
    void operator()(comp::MenuItem& sender, comp::Canvas& canvas, RECT rect, comp::OwnerDrawState state) const {
        menu->MenuItemAdvancedDraw(sender, canvas, rect, state);
    }
};

}  // namespace

void HookMenuItems(comp::Menu& menu, comp::MenuItem* item, bool recursive,
                   const comp::MenuItem::MeasureItemEvent& measure, const comp::MenuItem::AdvancedDrawItemEvent& draw,
                   bool keepOwnHandlers) {
    if (item)
        HookMenuItem(menu, *item, measure, draw, keepOwnHandlers);
    else
        HookChildren(menu, menu.Items, recursive, measure, draw, keepOwnHandlers);
}

// ---- what both menus share

template <class MenuBase>
TSkMenu<MenuBase>::TSkMenu() {
    this->OwnerDraw = true;
    barProtected_ = std::make_unique<TSkBarProtected>(this);
    bar_ = std::make_unique<TSkBar>(this);
    separators_ = std::make_unique<TSkSeparators>(this);
    // The flags are settled before the first menu exists.
    PlatformFlags();
}

template <class MenuBase>
TSkMenu<MenuBase>::~TSkMenu() {
    // A module that outlives the menu must not keep pointing at it.
    if (drawModule_ && drawModule_->Menu() == this) drawModule_->SetMenu(nullptr);
    drawModule_ = nullptr;
    barProtected_.reset();
    bar_.reset();
    separators_.reset();
}

template <class MenuBase>
void TSkMenu<MenuBase>::MenuItemMeasure(comp::MenuItem& sender, comp::Canvas& canvas, int& width, int& height) {
    MeasureBarItem(sender, canvas, width, height, ItemCarriesBar(sender));
}

template <class MenuBase>
void TSkMenu<MenuBase>::MenuItemAdvancedDraw(comp::MenuItem& sender, comp::Canvas& canvas, RECT rect,
                                             comp::OwnerDrawState state) {
    DrawBarItem(sender, canvas, rect, state, ItemCarriesBar(sender));
}

template <class MenuBase>
void TSkMenu<MenuBase>::RefreshMenu(bool resetBar, bool rebuild) {
    MenuOptionsChanged(*this, resetBar, rebuild);
}

template <class MenuBase>
void TSkMenu<MenuBase>::DrawModuleFreed(TSkMenusDrawModule* module) {
    if (module && module == drawModule_) drawModule_ = nullptr;
}

template <class MenuBase>
void TSkMenu<MenuBase>::HookItems(comp::MenuItem* item) {
    using Self = TSkMenu<MenuBase>;
    HookMenuItems(*this, item, true, ItemMeasureHook<Self>{this}, ItemDrawHook<Self>{this}, true);
}

template <class MenuBase>
void TSkMenu<MenuBase>::AttachDrawModule(TSkMenusDrawModule* value) {
    if (drawModule_ && drawModule_->Menu() == this) drawModule_->SetMenu(nullptr);
    drawModule_ = nullptr;
    if (value) {
        // A module serves one menu: the menu it served before lets go of it.
        comp::Menu* previous = value->Menu();
        if (previous && previous != this)
            if (ISkinMenusIntf* other = GetMenuIntf(previous)) other->DrawModuleFreed(value);
        drawModule_ = value;
        value->SetMenu(this);
    }
}

template class TSkMenu<comp::PopupMenu>;
template class TSkMenu<comp::MainMenu>;

// ---- the popup menu

TSkCustomBarPopupMenu::TSkCustomBarPopupMenu() = default;

void TSkCustomBarPopupMenu::Loaded() {
    TSkMenu<comp::PopupMenu>::Loaded();
    OwnerDraw = true;
    HookItems(nullptr);
}

void TSkCustomBarPopupMenu::MenuChanged(comp::MenuItem* source, bool rebuild) {
    HookItems(source);
    if (source && IsPopupTopLevelItem(*source)) {
        barProtected_->SetMeasuring(true);
        barProtected_->Valid = false;
    }
    TSkMenu<comp::PopupMenu>::MenuChanged(source, rebuild);
}

comp::MenuItem* TSkCustomBarPopupMenu::PopupAt(int x, int y) {
    // While the menu is open the base ignores the request; the bar of the menu being shown stays measured.
    if (!Handle()) barProtected_->SetMeasuring(true);
    return TSkMenu<comp::PopupMenu>::PopupAt(x, y);
}

comp::MenuItem* TSkCustomBarPopupMenu::PopupAtPoint(POINT p) { return PopupAt(p.x, p.y); }

void TSkCustomBarPopupMenu::SetDrawModule(TSkMenusDrawModule* value) {
    AttachDrawModule(value);
    barProtected_->Reset();
}

bool TSkCustomBarPopupMenu::ItemCarriesBar(const comp::MenuItem& item) {
    const comp::MenuItem* parent = item.Parent();
    return bar_->Visible() && parent && !parent->Parent();
}

// ---- the main menu

TSkCustomBarMainMenu::TSkCustomBarMainMenu() = default;

void TSkCustomBarMainMenu::Loaded() {
    TSkMenu<comp::MainMenu>::Loaded();
    OwnerDraw = true;
    HookItems(nullptr);
    RebuildBar();
    RefreshMenu(false, false);
}

void TSkCustomBarMainMenu::MenuChanged(comp::MenuItem* source, bool rebuild) {
    // Items added after loading are skinned as well, as on the popup menu.
    HookItems(source);
    TSkMenu<comp::MainMenu>::MenuChanged(source, rebuild);
}

void TSkCustomBarMainMenu::ResetBar() {
    barProtected_->Reset();
    UpdateItems();
}

void TSkCustomBarMainMenu::SetMenuFont(const comp::Font& value) {
    menuFont_ = value;
    RefreshMenu(false, false);
}

void TSkCustomBarMainMenu::SetMenuStyle(TSkMenuStyle value) {
    if (value == menuStyle_) return;
    menuStyle_ = value;
    RefreshMenu(false, false);
    RefreshMenu(true, true);
}

void TSkCustomBarMainMenu::SetUseSystemFont(bool value) {
    useSystemFont_ = value;
    RefreshMenu(false, false);
}

void TSkCustomBarMainMenu::SetDrawModule(TSkMenusDrawModule* value) {
    AttachDrawModule(value);
    HookItems(nullptr);
    RebuildBar();
    RefreshMenu(true, true);
}

bool TSkCustomBarMainMenu::ItemCarriesBar(const comp::MenuItem& item) {
    return bar_->Visible() && IsBarColumnItem(*this, &item);
}

void TSkCustomBarMainMenu::RebuildBar() {
    if (Items.Count() > 0) UpdateItems();
}
