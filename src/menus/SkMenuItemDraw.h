// Measuring and painting the items of the skinned menus, shared by the popup and the main menu: the
// skinned size (separator heights, room for check marks, the bar strip, the short-line reserve) and the
// paint chain (draw module first, then the default painter in the classic or the XP look), followed by
// the side bar and the menu window's transparency and shape.
#pragma once

#include <windows.h>

#include <string>

#include "components/canvas.h"
#include "components/menus.h"

class ISkinMenusIntf;

// A caption of exactly "-".
bool IsSeparatorItem(const comp::MenuItem& item);
// A separator's caption: its Hint while the item is enabled, else empty.
std::string SeparatorCaption(const comp::MenuItem& item);

// Turns the default size of |item| (already in |width|, |height|) into its skinned size. |barVisible|: the
// item carries the side bar.
void MeasureBarItem(comp::MenuItem& item, comp::Canvas& canvas, int& width, int& height, bool barVisible);

// Paints |item| in |rect| (menu window client coordinates) on |canvas|, then the side bar beside it (when
// |barVisible|) and the menu window's frame. The item's OnAdvancedDrawItem is off it while it is painted and
// back on it however the painting ends.
void DrawBarItem(comp::MenuItem& item, comp::Canvas& canvas, RECT rect, comp::OwnerDrawState state, bool barVisible);

// The default painter: a separator, or the item's colours and content, in |r| (the bar strip and the
// short-line reserve already taken off).
void DrawItemDefault(ISkinMenusIntf& menu, comp::MenuItem& item, comp::Canvas& canvas, RECT r,
                     comp::OwnerDrawState state);

// Draws |text| of |item| into |r| with |flags| (DT_CALCRECT measures into |r|); a disabled item gets the
// embossed look.
void DrawItemText(comp::MenuItem& item, comp::Canvas& canvas, std::string text, RECT& r, bool selected, UINT flags);
