// Making, resetting and releasing the Direct3D scene.
#include "control/uInit.h"

#include "components/paths.h"
#include "control/uCamera.h"
#include "control/uCube.h"
#include "control/uGranDesktop.h"
#include "control/uMessagesOcx.h"
#include "control/uSplesh.h"
#include "control/uWallPaperHooks.h"
#include "shared/uMessages.h"
#include "shared/uOptionsShared.h"
#include "shared/uPath.h"

using namespace d3dmath;

TDirect3DCreate Direct3DCreateHook = Direct3DCreate9;
TFaceProgressProc FaceProgressHook = SplashProgress;

namespace {

// The Direct3D 9 SDK version the control was made for.
constexpr UINT kSdkVersion = 31;

void SetBackBufferSize(gTGlobalVars& g, UINT width, UINT height) {
    g.D3D.PresentParams.BackBufferWidth = width;
    g.D3D.PresentParams.BackBufferHeight = height;
    g.D3D.BackBufferWidth = static_cast<uint16_t>(width & 0xFFFF);
    g.D3D.BackBufferHeight = static_cast<uint16_t>(height & 0xFFFF);
}

HRESULT MakeDevice(HWND window, gTGlobalVars& g);

SIZE ClientSize(HWND window) {
    RECT rc{};
    GetClientRect(window, &rc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

}  // namespace

void SplashProgress(const std::string& text) { SplashSetText(text); }

SIZE BackBufferSizeForQuality(int d3dQw, SIZE client) {
    switch (d3dQw) {
        case 0: return SIZE{640, 480};
        case 1: return SIZE{800, 600};
        default: return client;  // 2, and any value the settings dialog never writes
    }
}

bool InitScene(HWND window, gTGlobalVars& g) {
    delete g.D3D.Camera;
    g.D3D.Camera = nullptr;
    g.D3D.Camera = new TCubeCamera();

    if (FAILED(CreateD3DDevice(window, g))) {
        PostToControlWnd(_3D_Error, 0, 0);
        return false;
    }

    try {
        TCubeQuads quads;
        TCubeNormals normals;
        BuildCube(quads, normals);

        const std::string desktops = AppDataPath + "Desktops\\";
        comp::ForceDirectories(desktops);

        if (g.Faces) {
            for (int n = 1; n <= kFaceCount; ++n) {
                SplashSetText("Desktop " + std::to_string(n));
                const std::string number = std::to_string(n);
                (*g.Faces)[n] = new TGranDesktop(desktops + number + "\\", desktops + number + ".ini", g.D3D.Device,
                                                 normals[n], quads[n][0], quads[n][1], quads[n][2], quads[n][3],
                                                 FaceProgressHook, n);
            }
        }

        if (Settings.use_3d_wallpaper) {
            SplashSetState("Loading 3D wallpaper");
            SplashSetText("");
            LoadWallpaper(Settings.wallpaper, Settings.wallpaper_param, g);
        }
    } catch (...) {
        // A scene made half-way goes as a whole one would (the faces made so far stop their
        // watchers); the caller learns of the failure.
        ReleaseScene(g);
        throw;
    }
    return true;
}

HRESULT CreateD3DDevice(HWND window, gTGlobalVars& g) {
    const HRESULT hr = MakeDevice(window, g);
    if (FAILED(hr) && g.D3D.Direct3D) {
        // Without a device the Direct3D object is of no further use, and nothing would release it.
        g.D3D.Direct3D->Release();
        g.D3D.Direct3D = nullptr;
    }
    return hr;
}

namespace {

HRESULT MakeDevice(HWND window, gTGlobalVars& g) {
    gTD3DX& d = g.D3D;
    if (d.Direct3D) {
        d.Direct3D->Release();
        d.Direct3D = nullptr;
    }
    d.Direct3D = Direct3DCreateHook(kSdkVersion);
    if (!d.Direct3D) return E_FAIL;

    D3DDISPLAYMODE mode{};
    if (FAILED(d.Direct3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) return E_FAIL;

    SetWindowPos(window, nullptr, 0, 0, static_cast<int>(mode.Width), static_cast<int>(mode.Height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const SIZE client = ClientSize(window);

    D3DPRESENT_PARAMETERS& pp = d.PresentParams;
    pp = D3DPRESENT_PARAMETERS{};
    const SIZE back = BackBufferSizeForQuality(Settings.d3d_qw, client);
    pp.BackBufferWidth = static_cast<UINT>(back.cx);
    pp.BackBufferHeight = static_cast<UINT>(back.cy);
    pp.BackBufferFormat = mode.Format;
    pp.BackBufferCount = 1;
    pp.MultiSampleType = D3DMULTISAMPLE_NONE;
    pp.MultiSampleQuality = 0;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = window;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    pp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER | D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL;
    pp.FullScreen_RefreshRateInHz = 0;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    SetBackBufferSize(g, pp.BackBufferWidth, pp.BackBufferHeight);

    if (d.Device) {
        d.Device->Release();
        d.Device = nullptr;
    }
    IDirect3DDevice9* device = nullptr;
    if (FAILED(d.Direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                        D3DCREATE_MIXED_VERTEXPROCESSING, &pp, &device)) ||
        !device)
        return E_FAIL;
    d.Device = device;
    // A zero side is filled in by Direct3D from the window: keep the copies true to the buffer.
    SetBackBufferSize(g, pp.BackBufferWidth, pp.BackBufferHeight);

    D3DVIEWPORT9 viewport{0, 0, d.BackBufferWidth, d.BackBufferHeight, 0.0f, 1.0f};
    d.Device->SetViewport(&viewport);
    SetCubeProjection(false, g);
    return S_OK;
}

}  // namespace

void SetCubeProjection(bool inside, gTGlobalVars& g) {
    if (!g.D3D.Camera) return;
    g.D3D.Camera->SetProjection(1.0f, inside ? -1.0f : 1.0f, 1.0f, 200.0f);
    if (g.D3D.Device) g.D3D.Device->SetTransform(D3DTS_PROJECTION, &g.D3D.Camera->GetProjection());
}

void ResetScene(HWND window, gTGlobalVars& g) {
    const SIZE client = ClientSize(window);
    SetBackBufferSize(g, static_cast<UINT>(client.cx), static_cast<UINT>(client.cy));
    if (g.Faces)
        for (int n = 1; n <= kFaceCount; ++n)
            if (TGranDesktop* face = (*g.Faces)[n]) face->ReleaseVertexBuffer();
    WallpaperInvalidate();
    if (g.D3D.Device && SUCCEEDED(g.D3D.Device->Reset(&g.D3D.PresentParams)))
        SetBackBufferSize(g, g.D3D.PresentParams.BackBufferWidth, g.D3D.PresentParams.BackBufferHeight);
    if (g.Faces)
        for (int n = 1; n <= kFaceCount; ++n)
            if (TGranDesktop* face = (*g.Faces)[n]) face->FillVertexBuffer();
    WallpaperRestore();
}

void ReleaseScene(gTGlobalVars& g) {
    if (g.D3D.Device) {
        g.D3D.Device->Release();
        g.D3D.Device = nullptr;
    }
    if (g.D3D.Direct3D) {
        g.D3D.Direct3D->Release();
        g.D3D.Direct3D = nullptr;
    }
    delete g.D3D.Camera;
    g.D3D.Camera = nullptr;
    if (g.Faces) {
        for (int n = 1; n <= kFaceCount; ++n) {
            delete (*g.Faces)[n];
            (*g.Faces)[n] = nullptr;
        }
    }
    WallpaperInvalidate();
    UnloadWallpaper();
}

void RefreshChangedFaces(gTGlobalVars& g) {
    if (!g.Faces) return;
    for (int n = 1; n <= kFaceCount; ++n) {
        TGranDesktop* face = (*g.Faces)[n];
        if (!face || !face->NeedsRefresh.load()) continue;
        try {
            face->Refresh();
        } catch (const std::exception&) {
            // One face's failure leaves the others their re-scan.
        }
    }
}
