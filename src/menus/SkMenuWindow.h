// What the skinned menus do to the drop-down window the system made for them: translucency for popup
// menus (MenuAlpha below 255), and with CustomFrame a region (once per window: optionally cut corners
// and a drop shadow) and a two-colour frame over the border at every item paint.
#pragma once

#include <windows.h>

class ISkinMenusIntf;

// Library-wide effects of shaped menu windows; empty unless set.
enum TSkWindowEffect : unsigned { weShadow = 1, weCutCorners = 2 };
unsigned MenuWindowEffects();
void SetMenuWindowEffects(unsigned effects);

// A popup menu's window becomes layered with |alpha| (once) when |alpha| is below 255 and the system has
// layered windows.
void ApplyMenuAlpha(ISkinMenusIntf& menu, HWND window, BYTE alpha);
// With the menu's CustomFrame: gives |window| its region once (marked in bit 0 of its user data), and
// frames it.
void ShapeMenuWindow(ISkinMenusIntf& menu, HWND window);
