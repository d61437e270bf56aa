// The component library's cursor shapes by number, as forms take them: crDefault (the window class's
// cursor), crDrag (an arrow carrying a page: something is being dragged) and crSizeAll (four arrows).
#pragma once

#include <windows.h>

namespace comp {

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crDrag = -12;
constexpr TCursor crSizeAll = -22;

// The cursor handle of a shape; nullptr for crDefault and for numbers without a shape (the window's
// class cursor applies). Shared handles: never destroyed by the caller.
HCURSOR CursorHandle(TCursor cursor);

}  // namespace comp
