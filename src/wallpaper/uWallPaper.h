// The 3D wallpaper host: unpacks a wallpaper package (a cabinet file) into the data folder's "Temp\"
// when a different package was unpacked there last, loads the plug-in library "wallpaper.dll" it holds,
// checks its interface version, initialises it with the Direct3D device and calls it for each frame,
// around each device reset and at tear-down. Nothing here raises: a package that fails to unpack, a
// plug-in that fails to load, or one whose call raises or faults, leaves the cube to be drawn without it.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <cstdint>
#include <string>

// The plug-in's exports. On the 32-bit target they take the register convention (first argument in EAX,
// second in EDX, nothing on the stack); on the 64-bit target the platform's one convention.
#if defined(__i386__)
using TWallpaperInit = void(__attribute__((regparm(2))) *)(IDirect3DDevice9* device, int32_t parameter);
using TWallpaperVersion = void(__attribute__((regparm(2))) *)(int32_t* major, int32_t* minor);
#else
using TWallpaperInit = void (*)(IDirect3DDevice9* device, int32_t parameter);
using TWallpaperVersion = void (*)(int32_t* major, int32_t* minor);
#endif
using TWallpaperProc = void (*)();

// The bound exports of the loaded plug-in; each is empty when the export is missing or nothing is loaded.
struct TWallpaperEntryPoints {
    TWallpaperInit Init = nullptr;
    TWallpaperProc Render = nullptr;
    TWallpaperProc Invalidate = nullptr;
    TWallpaperProc Restore = nullptr;
    TWallpaperProc Kill = nullptr;
    TWallpaperVersion Version = nullptr;
};

// The loaded plug-in library (0 when none) and its exports.
extern HMODULE WallpaperLib;
extern TWallpaperEntryPoints WallpaperEntries;

// The unpack folder under the data folder and the files the host keeps there.
extern const char* const kWallpaperFolder;    // "Temp\"
extern const char* const kWallpaperInfoFile;  // "wallpaper.info"
extern const char* const kWallpaperLibrary;   // "wallpaper.dll"

// Unpacks the package at |packagePath| when needed, loads and initialises its plug-in with |device| and
// |parameter|. The device's world, view and projection transforms are the same afterwards.
void LoadWallpaper(const std::string& packagePath, int32_t parameter, IDirect3DDevice9* device) noexcept;
// Ends the current plug-in: its Kill, then the library is freed.
void UnloadWallpaper() noexcept;
// One frame of the plug-in; the device's three transforms are kept around it.
void WallpaperRender(IDirect3DDevice9* device) noexcept;
// Before a device reset, and at tear-down.
void WallpaperInvalidate() noexcept;
// After a device reset.
void WallpaperRestore() noexcept;

// Whether the package must be unpacked: unless the info file's first line is the package path exactly.
bool WallpaperNeedsUnpacking(const std::string& packagePath, const std::string& infoFile);
