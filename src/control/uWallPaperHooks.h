// The places of the 3D wallpaper plug-in host in the scene's life and in every frame.
// The plug-in host replaces these empty bodies.
#pragma once

#include <string>

struct gTGlobalVars;

void LoadWallpaper(const std::string& packagePath, int parameter, gTGlobalVars& g);
void UnloadWallpaper();
void WallpaperRender(gTGlobalVars& g);
void WallpaperInvalidate();
void WallpaperRestore();
