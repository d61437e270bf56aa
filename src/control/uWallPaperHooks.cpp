// Empty until the 3D wallpaper plug-in host takes their place.
#include "control/uWallPaperHooks.h"

void LoadWallpaper(const std::string&, int, gTGlobalVars&) {}
void UnloadWallpaper() {}
void WallpaperRender(gTGlobalVars&) {}
void WallpaperInvalidate() {}
void WallpaperRestore() {}
