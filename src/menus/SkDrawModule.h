// TSkMenusDrawModule: the base of pluggable painters for the skinned menus. A menu with a module attached
// asks it first at every measuring and painting of an item; the module decides whether the library's
// default measuring additions and painting still follow. The base paints nothing: descendants supply
// DrawItem and MeasureItem.
#pragma once

#include <windows.h>

#include <string>

#include "components/canvas.h"
#include "components/menus.h"

class TSkMenusDrawModule {
public:
    TSkMenusDrawModule() = default;
    // A module that goes while attached is taken off its menu first.
    virtual ~TSkMenusDrawModule();
    TSkMenusDrawModule(const TSkMenusDrawModule&) = delete;
    TSkMenusDrawModule& operator=(const TSkMenusDrawModule&) = delete;

    // The skinned menu the module is attached to, or nullptr; set only by the menus.
    comp::Menu* Menu() const { return menu_; }
    void SetMenu(comp::Menu* value) { menu_ = value; }

    std::string Description;

    // Paints an item of the attached menu into |rect| (the item's area without the bar strip). Setting
    // |defaultDraw| false skips the library's own painting of the item.
    virtual void DrawItem(comp::MenuItem& item, comp::Canvas& canvas, RECT rect, comp::OwnerDrawState state,
                          bool barVisible, bool& defaultDraw) = 0;
    // Measures an item of the attached menu (|width|, |height| hold the size so far). Setting
    // |defaultMeasure| false skips the library's remaining reserve for short-line separators.
    virtual void MeasureItem(comp::MenuItem& item, comp::Canvas& canvas, int& width, int& height, bool barVisible,
                             bool& defaultMeasure) = 0;
    // A descendant calls it when its look has changed: the attached menu takes the module again, which
    // makes it paint its bar anew.
    virtual void Changed();

private:
    comp::Menu* menu_ = nullptr;
};
