// Separator items of the skinned menus: a line across the item, a line inset from both ends, or a band
// filled with the separator gradient that carries the separator's caption; lines are etched, flat, or
// fade in from both ends.
#pragma once

#include <windows.h>

#include <string>

#include "components/canvas.h"
#include "components/menus.h"

class ISkinMenusIntf;

// Paints the separator into |r| (the item rectangle without the bar strip and the short-line reserve).
// |caption| is the separator caption (may be empty).
void DrawSeparatorItem(ISkinMenusIntf& menu, comp::MenuItem& item, const std::string& caption, comp::Canvas& canvas,
                       RECT r, comp::OwnerDrawState state);

// One pixel row at the larger of lineRect.top and textRect.top, from lineRect.left to lineRect.right (both
// included): the background at the ends blending into |color| over |fadeWidth| pixels. With |split| the
// row leaves out the text's columns.
void DrawFadeLine(comp::Canvas& canvas, const RECT& textRect, const RECT& lineRect, COLORREF color, int fadeWidth,
                  bool split);
