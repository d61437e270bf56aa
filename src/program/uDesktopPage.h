// The desktop as the control program sees it: the Active Desktop wallpaper, the desktop page that hosts
// the 3D control, and the Windows desktop icon list.
#pragma once

#include <windows.h>

#include <string>

// The page under the Windows folder: "\Web\Wallpaper\3DVexlor.html".
extern const char* const kDesktopPageRelative;

// The Windows folder (GetWindowsDirectoryA, 260 characters at most).
std::string GetWindowsDir();
// The folder the page is looked for under; "" (the program's only value) is the Windows folder. Tests
// point it at a scratch folder: the page is an input of the code under test.
extern std::string DesktopPageRoot;
// That folder followed by the page's relative path.
std::string DesktopPageFile();
// True when |name| names the desktop page (compared without regard to case); "" never does.
bool IsDesktopPage(const std::string& name);

// The current wallpaper's file name; "" when the shell reports a failure or leaves the buffer alone.
// Raises comp::EComError when the Active Desktop object cannot be made.
std::string GetDesktopWallpaper();
// Makes |name| the wallpaper unless it is the current one (compared upper-cased).
void SetDesktopWallpaper(const std::wstring& name);
// Makes |name| the wallpaper (stretched) without comparing.
void ApplyWallpaper(const std::wstring& name);
std::wstring WideOf(const std::string& text);

// The desktop's icon list: the first child of the first child of the "ProgMan" window, when its class is
// exactly "SysListView32"; else 0.
HWND GetDesktopListView();
// Shows the icon list again (the 3D control may have hidden it).
void ShowDesktopIcons();
