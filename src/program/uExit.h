// The "/EXIT" start: put back the wallpaper remembered before the desktop page was set, and end.
#pragma once

#include <string>

// "/EXIT" compared exactly with the first command-line parameter.
bool IsExitStart(const std::string& firstParameter);

// LastWallPaper from "Software\Pellomar\3D Vexlor" ("" when the key or value is missing).
std::string ReadLastWallpaper();
// The wallpaper the exit start applies for a stored value: the value itself, or "" when it names the
// desktop page (putting the page back would keep the control on the desktop for good).
std::string WallpaperToRestore(const std::string& stored);

// Applies the remembered wallpaper; raises when the Active Desktop object cannot be made.
void RestoreLastWallpaper();
// The whole exit start: never raises (it may run every 100 ms while the control looks for the program).
void RunExitStart() noexcept;
