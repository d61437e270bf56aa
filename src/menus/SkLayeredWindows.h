// Run-time binding of the layered-window functions of user32.dll: bound once, on first use. Where the
// system lacks SetLayeredWindowAttributes, translucency is skipped.
#pragma once

#include <windows.h>

using TUpdateLayeredWindow = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
using TSetLayeredWindowAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// The bound functions (nullptr when the system has none).
TUpdateLayeredWindow UpdateLayeredWindowProc();
TSetLayeredWindowAttributes SetLayeredWindowAttributesProc();
// True exactly when SetLayeredWindowAttributes was found.
bool LayeredWindowsAvailable();
