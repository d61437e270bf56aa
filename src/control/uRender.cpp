// The render loop: orientation, frame drawing and the frame-rate count.
#include "control/uRender.h"

#include "shared/uOptionsShared.h"
#include "control/uGranDesktop.h"
#include "control/uCamera.h"
#include "control/uFrameTimer.h"
#include "control/uInit.h"
#include "control/uWallPaperHooks.h"

using namespace d3dmath;

int64_t DivRoundHalfEven(int64_t num, int64_t den) {
    int64_t q = num / den;
    const int64_t r = num % den;  // same sign as num
    const int64_t twice = 2 * (r < 0 ? -r : r);
    if (twice > den || (twice == den && (q % 2 != 0))) q += num < 0 ? -1 : 1;
    return q;
}

POINT ClientToBackBuffer(POINT client, SIZE clientSize, SIZE backBuffer) {
    if (clientSize.cx <= 0 || clientSize.cy <= 0) return kNoBackBufferPoint;
    // The products as 32-bit integers, as the cursor mapping has always taken them.
    const int32_t px = static_cast<int32_t>(static_cast<uint32_t>(backBuffer.cx) * static_cast<uint32_t>(client.x));
    const int32_t py = static_cast<int32_t>(static_cast<uint32_t>(backBuffer.cy) * static_cast<uint32_t>(client.y));
    return POINT{static_cast<LONG>(DivRoundHalfEven(px, clientSize.cx)),
                 static_cast<LONG>(DivRoundHalfEven(py, clientSize.cy))};
}

POINT ClientToBackBuffer(HWND window, POINT client, const gTGlobalVars& g) {
    RECT rc{};
    if (!GetClientRect(window, &rc)) return kNoBackBufferPoint;
    return ClientToBackBuffer(client, SIZE{rc.right - rc.left, rc.bottom - rc.top},
                              SIZE{g.D3D.BackBufferWidth, g.D3D.BackBufferHeight});
}

int32_t DecaySpin(int32_t v) {
    if (v == 0) return 0;
    const int32_t w = static_cast<int32_t>(DivRoundHalfEven(static_cast<int64_t>(v) * 995, 1000));
    if (w != v) return w;
    return v > 0 ? v - 1 : v + 1;
}

TMatrix StepOrientation(gTGlobalVars& g, const TMatrix& world, POINT p) {
    if (g.Animating) {
        const TMatrix w = AddElements(world, g.AnimStep);
        if (--g.AnimFramesLeft <= 0) {
            g.AnimFramesLeft = 0;
            g.Animating = false;
        }
        return w;
    }
    const bool mapped = !IsNoBackBufferPoint(p);
    if (mapped && g.Dragging && g.RotateMode) {
        g.SpinY = g.LastX - p.x;
        g.SpinX = g.InsideView ? p.y - g.LastY : g.LastY - p.y;
    }
    const TMatrix r = Multiply(RotationY(static_cast<float>(g.SpinY) / 360.0f),
                               RotationX(static_cast<float>(g.SpinX) / 360.0f));
    if (mapped) {
        g.LastX = p.x;
        g.LastY = p.y;
    }
    const TMatrix w = Multiply(world, r);
    if (!g.Dragging) {
        g.SpinY = DecaySpin(g.SpinY);
        g.SpinX = DecaySpin(g.SpinX);
    }
    return w;
}

bool CountFrame(gTGlobalVars& g, float now) {
    g.FrameTime = now;
    ++g.FrameCount;
    const float span = g.FrameTime - g.LastFPSTime;
    if (!(span > 1.0f)) return false;
    g.FPSValue = static_cast<int32_t>(static_cast<float>(g.FrameCount) / span);
    g.LastFPSTime = g.FrameTime;
    g.FrameCount = 0;
    return true;
}

std::string FPSCaption(int32_t fps) { return "FPS: " + std::to_string(fps); }

namespace {

D3DMATERIAL9 CubeMaterial() {
    D3DMATERIAL9 m{};
    m.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    m.Ambient = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    return m;
}

POINT CursorInBackBuffer(HWND window, const gTGlobalVars& g) {
    POINT cursor{};
    if (!GetCursorPos(&cursor) || !ScreenToClient(window, &cursor)) return kNoBackBufferPoint;
    return ClientToBackBuffer(window, cursor, g);
}

}  // namespace

void RenderFrame(IRenderHost& host, gTGlobalVars& g) {
    IDirect3DDevice9* device = g.D3D.Device;
    if (!device) return;

    if (device->TestCooperativeLevel() == D3DERR_DEVICENOTRESET) {
        host.SetRenderTimerEnabled(false);
        try {
            ResetScene(host.Handle(), g);
        } catch (...) {
            host.SetRenderTimerEnabled(true);
            throw;
        }
        host.SetRenderTimerEnabled(true);
    }

    TMatrix world = Identity();
    device->GetTransform(D3DTS_WORLD, &world);
    // The cursor only steers the cube while the left button is held (a mouse down sets LastX and
    // LastY itself); reading it costs the platform a round trip, so it is read only then.
    const POINT p = g.Animating || !g.Dragging ? kNoBackBufferPoint : CursorInBackBuffer(host.Handle(), g);
    const TMatrix w = StepOrientation(g, world, p);

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColour, 1.0f, 0);
    WallpaperRender(g);
    SetCubeProjection(g.InsideView, g);
    if (g.D3D.Camera) {
        g.D3D.Camera->SetViewPoint(Vec3(0, 0, g.InsideView ? -1.5f : -3.5f), Vec3(0, 0, 0));
        device->SetTransform(D3DTS_VIEW, &g.D3D.Camera->GetView());
    }
    const D3DMATERIAL9 material = CubeMaterial();
    device->SetMaterial(&material);
    device->SetTransform(D3DTS_WORLD, &w);
    device->SetRenderState(D3DRS_AMBIENT, 0x00FFFFFF);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);

    device->BeginScene();
    if (!g.HideFaces && g.Faces) {
        for (int n = 1; n <= 6; ++n) {
            T3DPanel* face = (*g.Faces)[n];
            if (!face) continue;
            face->World = w;
            device->SetMaterial(&material);
            face->Draw();
        }
    }
    device->EndScene();
    host.FrameDrawn(g);
    device->Present(nullptr, nullptr, nullptr, nullptr);

    CountFrame(g, FrameTimer(ftGetAbsoluteTime));
    if (Settings.ShowFPS) host.SetFPSCaption(FPSCaption(g.FPSValue));
}
