// The render loop: one frame of the cube per render tick, the orientation rules (animation,
// drag rotation, slowing spin), the frame-rate count and the cursor mapping to back-buffer pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "control/d3dmath.h"
#include "control/uGlobal.h"

// What the render loop needs of the control form.
struct IRenderHost {
    virtual HWND Handle() = 0;
    virtual void SetRenderTimerEnabled(bool enabled) = 0;
    virtual void SetFPSCaption(const std::string& caption) = 0;
    // Called after EndScene and before Present, with the frame complete in the back buffer.
    virtual void FrameDrawn(gTGlobalVars&) {}
    virtual ~IRenderHost() = default;
};

// Draws one frame (nothing without a device).
void RenderFrame(IRenderHost& host, gTGlobalVars& g);

// The point that ClientToBackBuffer answers when the client area is empty: far off every
// viewport, so that it picks nothing.
constexpr POINT kNoBackBufferPoint{-1000000, -1000000};
inline bool IsNoBackBufferPoint(POINT p) { return p.x == kNoBackBufferPoint.x && p.y == kNoBackBufferPoint.y; }

// Client pixels to back-buffer pixels: bw * x / cw and bh * y / ch rounded half to even;
// kNoBackBufferPoint when the client area has no width or height.
POINT ClientToBackBuffer(POINT client, SIZE clientSize, SIZE backBuffer);
POINT ClientToBackBuffer(HWND window, POINT client, const gTGlobalVars& g);

// num / den rounded to the nearest integer, halves to the even neighbour (den > 0).
int64_t DivRoundHalfEven(int64_t num, int64_t den);

// One frame of slowing down: v x 0.995 rounded half to even; when that leaves v unchanged, one
// step toward 0.
int32_t DecaySpin(int32_t v);

// The orientation step of one frame: answers the frame's world matrix W from the device's
// world matrix. While Animating, adds AnimStep and counts the frame; otherwise follows the
// cursor |p| (back-buffer pixels; kNoBackBufferPoint leaves the spin and LastX/LastY alone)
// while dragging in rotate mode, turns by the spin and lets the spin slow down when not dragging.
d3dmath::TMatrix StepOrientation(gTGlobalVars& g, const d3dmath::TMatrix& world, POINT p);

// Counts a frame at |now| seconds; true when FPSValue was updated.
bool CountFrame(gTGlobalVars& g, float now);
std::string FPSCaption(int32_t fps);

// The render clear colour (red 1, green 0, blue 0) in Direct3D's order.
constexpr uint32_t kClearColour = 0x00010000;
