// The draw module's link to its menu.
#include "menus/SkDrawModule.h"

#include "menus/SkinMenus.h"

TSkMenusDrawModule::~TSkMenusDrawModule() {
    // The menu must not paint through a module that is gone.
    if (ISkinMenusIntf* menu = GetMenuIntf(menu_)) menu->DrawModuleFreed(this);
    menu_ = nullptr;
}

void TSkMenusDrawModule::Changed() {
    if (ISkinMenusIntf* menu = GetMenuIntf(menu_)) menu->SetDrawModule(this);
}
