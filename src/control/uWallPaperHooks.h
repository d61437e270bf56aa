// The places of the 3D wallpaper plug-in host in the scene's life and in every frame: the host's calls
// that take the scene record, and the host's own calls for the rest.
#pragma once

#include <string>

#include "wallpaper/uWallPaper.h"

struct gTGlobalVars;

// LoadWallpaper and WallpaperRender with the scene record's device.
void LoadWallpaper(const std::string& packagePath, int parameter, gTGlobalVars& g);
void WallpaperRender(gTGlobalVars& g);
