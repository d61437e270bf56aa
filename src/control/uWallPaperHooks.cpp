// The scene record's device handed to the 3D wallpaper host.
#include "control/uWallPaperHooks.h"

#include "control/uGlobal.h"

void LoadWallpaper(const std::string& packagePath, int parameter, gTGlobalVars& g) {
    LoadWallpaper(packagePath, static_cast<int32_t>(parameter), g.D3D.Device);
}

void WallpaperRender(gTGlobalVars& g) { WallpaperRender(g.D3D.Device); }
