// Life of the control's Direct3D scene: camera, device, faces and 3D wallpaper, the device
// reset and the release.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <string>

#include "control/uGlobal.h"

// Makes the whole scene for |window|; false only when the device was not made (then
// _3D_Error has been posted to the control program and only the camera exists). A failure after
// the device was made releases everything made so far (as ReleaseScene) and is passed on.
bool InitScene(HWND window, gTGlobalVars& g);

// Direct3D object, display-sized window, present parameters, device, viewport and the
// outside projection. S_OK or E_FAIL.
HRESULT CreateD3DDevice(HWND window, gTGlobalVars& g);

// Projection of the outside (aspect 1) or inside (aspect -1, mirrored) view, given to the
// camera and, when there is a device, to the device.
void SetCubeProjection(bool inside, gTGlobalVars& g);

// Carries the scene through a device reset at the window's current client size.
void ResetScene(HWND window, gTGlobalVars& g);

// Releases device, Direct3D, camera, faces and the 3D wallpaper (what of them was made).
void ReleaseScene(gTGlobalVars& g);

// The monitor timer's first step: refreshes every face that was flagged as changed.
void RefreshChangedFaces(gTGlobalVars& g);

// Progress texts of the face constructors, shown on the splash.
void SplashProgress(const std::string& text);

// Back-buffer size for the quality setting |d3dQw| (0 640 x 480, 1 800 x 600, 2 and any other
// value the client size).
SIZE BackBufferSizeForQuality(int d3dQw, SIZE client);

// Creation of the Direct3D object; tests replace it to make the creation fail.
using TDirect3DCreate = IDirect3D9*(WINAPI*)(UINT sdkVersion);
extern TDirect3DCreate Direct3DCreateHook;

// The progress callback handed to each face (SplashProgress); tests replace it to make a face fail
// half-way.
using TFaceProgressProc = void (*)(const std::string& text);
extern TFaceProgressProc FaceProgressHook;
