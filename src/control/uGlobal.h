// The control's scene record: the interaction state of the cube, the Direct3D part and the
// reference to the form's six faces. One record per control, embedded in the control form.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <array>
#include <cstdint>

#include "control/d3dmath.h"

class TCubeCamera;
class TGranDesktop;
struct TLinkRecord;

// The form's faces, indexed 1 to 6 (index 0 unused).
using TFaceArray = std::array<TGranDesktop*, 7>;

// The device part of the scene record.
struct gTD3DX {
    TCubeCamera* Camera;                   // owned
    IDirect3D9* Direct3D;                  // one reference
    IDirect3DDevice9* Device;              // one reference; each face holds its own
    D3DPRESENT_PARAMETERS PresentParams;   // kept for ResetScene
    uint16_t BackBufferHeight;             // low 16 bits of PresentParams' height
    uint16_t BackBufferWidth;              // low 16 bits of PresentParams' width
};

struct gTGlobalVars {
    int32_t SpinY;              // yaw speed, 1/360 radian per frame
    int32_t SpinX;              // pitch speed, same unit
    int32_t LastX;              // last cursor position in back-buffer pixels, -1 before the first frame
    int32_t LastY;
    bool Dragging;              // left button held over the control
    bool InsideView;            // cube seen from the inside
    bool RotateMode;            // rotation modifier held
    bool Animating;             // face-to-front animation running
    int32_t AnimFramesLeft;     // frames left in that animation
    d3dmath::TMatrix AnimStep;  // added to the world matrix in each animation frame
    float LastFPSTime;          // seconds, time of the last frame-rate update
    float FrameTime;            // seconds, time of the last frame
    int32_t FrameCount;         // frames since LastFPSTime
    int32_t FPSValue;           // last measured frames per second
    HWND DesktopListView;       // the Windows desktop icon list view
    bool Started;               // set once the scene was made
    TLinkRecord* DraggedLink;   // item armed for a drag, or nullptr
    int32_t DragSourceFace;     // face 1..6 the dragged item comes from, -1 none
    int32_t CurrentFace;        // face 1..6 of the current selection, -1 none
    bool HideFaces;             // the faces are not drawn
    gTD3DX D3D;
    TFaceArray* Faces;          // the form's faces
};

// The library-level reference to the scene record, set by InitGlobalVars.
extern gTGlobalVars* GlobalVars;

// Remembers |g| as GlobalVars, zeroes it, sets LastX, LastY, DragSourceFace and CurrentFace
// to -1 and points Faces at |faces|.
void InitGlobalVars(gTGlobalVars& g, TFaceArray* faces);
