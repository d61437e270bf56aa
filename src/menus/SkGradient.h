// Two-colour gradient fills in four directions, painted into the pixels of a bitmap (the cached side-bar
// image) or onto a canvas (a captioned separator band). Both means give the same colours.
#pragma once

#include <windows.h>

#include "components/bitmap.h"
#include "components/canvas.h"

enum TGradientStyle { gsHorizontal, gsVertical, gsDiagonalLeftRight, gsDiagonalRightLeft };

// Fills |r| from |startColor| (top or left edge) towards |endColor| (approached at the opposite edge) in
// |style|. With a bitmap its pixels are written (it becomes 32 bits per pixel first; |r| is in bitmap
// coordinates and only pixels inside the bitmap are written) and |canvas| is not used; without one
// |canvas| is painted. Equal colours give a solid fill; a rectangle without height or an unknown style
// paints nothing.
void GradientFill(comp::Bitmap* bitmap, comp::Canvas* canvas, const RECT& r, COLORREF startColor, COLORREF endColor,
                  TGradientStyle style);
