// The side bar of a skinned menu: painted once into the cached picture of the menu's bar state (gradient,
// background picture, picture, vertical caption, with the menu's three bar events) and copied beside each
// item that carries it.
#pragma once

#include <windows.h>

#include "components/bitmap.h"
#include "components/canvas.h"

class ISkinMenusIntf;

// After an item with the bar is painted: ends a measuring pass (the bar takes the menu window's client
// height), paints the cached picture when it is stale and copies the rows beside |itemRect| (the item's
// whole rectangle) onto |canvas|.
void DrawSideBar(ISkinMenusIntf& menu, comp::Canvas& canvas, HWND menuWindow, const RECT& itemRect);

// The options of |menu| changed: with |resetBar| a new measuring pass and a stale picture; with |resetBar| or
// |rebuild| the items are built again; with neither the menu bar of an attached main menu is redrawn.
void MenuOptionsChanged(ISkinMenusIntf& menu, bool resetBar, bool rebuild);

// Draws |picture| scaled into |dest| of |image| (nearest pixel, clipped to the image); with |transparent|
// the pixels of the picture's bottom-left colour are left out.
void DrawBarPictureInto(comp::Bitmap& image, const RECT& dest, const comp::Bitmap& picture, bool transparent);
