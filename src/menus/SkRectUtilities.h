// Rectangle sizes for the menu skin library.
#pragma once

#include <windows.h>

#include "components/bitmap.h"

inline int RectWidth(const RECT& r) { return r.right - r.left; }
inline int RectHeight(const RECT& r) { return r.bottom - r.top; }

// (0, 0, width, height) of the bitmap; (0, 0, 0, 0) for no bitmap.
RECT GetBitmapRect(const comp::Bitmap* bitmap);
