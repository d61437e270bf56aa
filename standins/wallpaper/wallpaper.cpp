// Stand-in 3D wallpaper plug-in "wallpaper.dll": a star field turning slowly around the viewer over a
// night-sky gradient, with a planet low on the left. It reads its settings from "data\space.ini" by a
// relative name (the host makes the unpack folder current around each call), keeps its star vertices in
// a default-pool buffer that it gives up before a device reset and makes again after it, begins and ends
// its own scene, and leaves the device's render states as it found them.
#include <windows.h>
#include <d3d9.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__i386__)
#define PLUGIN_CALL __attribute__((regparm(2)))
#else
#define PLUGIN_CALL
#endif

namespace {

struct StarVertex {
    float x, y, z;
    DWORD colour;
};
constexpr DWORD kStarFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;

struct ScreenVertex {
    float x, y, z, rhw;
    DWORD colour;
};
constexpr DWORD kScreenFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

constexpr int kPlanetSegments = 48;
constexpr float kPi = 3.14159265f;

struct Settings {
    int stars = 900;
    int speed = 60;  // thousandths of a radian per second
    DWORD skyTop = 0x02030C;
    DWORD skyBottom = 0x1C0E3A;
    DWORD planet = 0x3F7FD8;
    DWORD planetRim = 0x0A1838;
};

IDirect3DDevice9* Device = nullptr;
IDirect3DVertexBuffer9* Stars = nullptr;
Settings Space;
DWORD StartTick = 0;

DWORD Opaque(DWORD rgb) { return 0xFF000000u | (rgb & 0xFFFFFFu); }

DWORD Blend(DWORD a, DWORD b, float t) {
    auto channel = [&](int shift) {
        const float ca = static_cast<float>((a >> shift) & 0xFF), cb = static_cast<float>((b >> shift) & 0xFF);
        return static_cast<DWORD>(ca + (cb - ca) * t + 0.5f) << shift;
    };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

DWORD ReadColour(const char* file, const char* key, DWORD fallback) {
    char text[32] = {};
    GetPrivateProfileStringA("Space", key, "", text, sizeof text, file);
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 16);
    return (text[0] && end && *end == '\0') ? static_cast<DWORD>(value) : fallback;
}

void ReadSettings() {
    // A name with a folder in it is taken from the current folder, which the host made the unpack folder.
    char file[MAX_PATH] = {};
    if (!GetFullPathNameA("data\\space.ini", MAX_PATH, file, nullptr)) return;
    Space.stars = static_cast<int>(GetPrivateProfileIntA("Space", "Stars", Space.stars, file));
    if (Space.stars < 0) Space.stars = 0;
    if (Space.stars > 20000) Space.stars = 20000;
    Space.speed = static_cast<int>(GetPrivateProfileIntA("Space", "Speed", Space.speed, file));
    Space.skyTop = ReadColour(file, "SkyTop", Space.skyTop);
    Space.skyBottom = ReadColour(file, "SkyBottom", Space.skyBottom);
    Space.planet = ReadColour(file, "Planet", Space.planet);
    Space.planetRim = ReadColour(file, "PlanetRim", Space.planetRim);
}

// Stars on a sphere around the viewer, the same ones every time.
void MakeStars() {
    if (!Device || Stars || Space.stars == 0) return;
    const UINT size = static_cast<UINT>(Space.stars) * sizeof(StarVertex);
    if (FAILED(Device->CreateVertexBuffer(size, D3DUSAGE_WRITEONLY, kStarFVF, D3DPOOL_DEFAULT, &Stars, nullptr))) {
        Stars = nullptr;
        return;
    }
    StarVertex* v = nullptr;
    if (FAILED(Stars->Lock(0, size, reinterpret_cast<void**>(&v), 0))) return;
    uint32_t seed = 20061;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f;
    };
    for (int i = 0; i < Space.stars; ++i) {
        const float z = next() * 2.0f - 1.0f, a = next() * 2.0f * kPi, r = std::sqrt(1.0f - z * z);
        v[i].x = 50.0f * r * std::cos(a);
        v[i].y = 50.0f * z;
        v[i].z = 50.0f * r * std::sin(a);
        const float tint = next();
        const DWORD grey = static_cast<DWORD>(90 + 165 * next() * next());
        DWORD rgb = grey << 16 | grey << 8 | grey;
        if (tint < 0.12f) rgb = Blend(rgb, 0x9FB8FF, 0.5f);       // blue giants
        else if (tint > 0.9f) rgb = Blend(rgb, 0xFFD890, 0.5f);   // yellow ones
        v[i].colour = Opaque(rgb);
    }
    Stars->Unlock();
}

void DropStars() {
    if (Stars) Stars->Release();
    Stars = nullptr;
}

D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// Turned by |yaw| about y after a fixed tilt about x.
D3DMATRIX StarWorld(float yaw) {
    const float cy = std::cos(yaw), sy = std::sin(yaw), cx = std::cos(0.35f), sx = std::sin(0.35f);
    D3DMATRIX m = Identity();
    m._11 = cy;       m._12 = sx * sy;  m._13 = -cx * sy;
    m._21 = 0.0f;     m._22 = cx;       m._23 = sx;
    m._31 = sy;       m._32 = -sx * cy; m._33 = cx * cy;
    return m;
}

D3DMATRIX Perspective(float fovY, float aspect, float zn, float zf) {
    const float h = 1.0f / std::tan(fovY / 2), w = h / aspect;
    D3DMATRIX m{};
    m._11 = w;
    m._22 = h;
    m._33 = zf / (zf - zn);
    m._34 = 1.0f;
    m._43 = -zn * zf / (zf - zn);
    return m;
}

void DrawSky(const D3DVIEWPORT9& vp) {
    const float l = static_cast<float>(vp.X), t = static_cast<float>(vp.Y);
    const float r = l + static_cast<float>(vp.Width), b = t + static_cast<float>(vp.Height);
    const ScreenVertex quad[4] = {{l, t, 0.0f, 1.0f, Opaque(Space.skyTop)},
                                  {r, t, 0.0f, 1.0f, Opaque(Space.skyTop)},
                                  {l, b, 0.0f, 1.0f, Opaque(Space.skyBottom)},
                                  {r, b, 0.0f, 1.0f, Opaque(Space.skyBottom)}};
    Device->SetFVF(kScreenFVF);
    Device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
}

// A disc lit from the upper right, low on the left of the view.
void DrawPlanet(const D3DVIEWPORT9& vp) {
    const float radius = 0.16f * static_cast<float>(vp.Height);
    const float cx = static_cast<float>(vp.X) + 0.13f * static_cast<float>(vp.Width);
    const float cy = static_cast<float>(vp.Y) + 0.80f * static_cast<float>(vp.Height);
    ScreenVertex fan[kPlanetSegments + 2];
    fan[0] = {cx + 0.35f * radius, cy - 0.35f * radius, 0.0f, 1.0f, Blend(Space.planet, 0xFFFFFF, 0.25f)};
    for (int i = 0; i <= kPlanetSegments; ++i) {
        const float a = 2.0f * kPi * static_cast<float>(i) / kPlanetSegments;
        const float light = 0.5f + 0.5f * std::cos(a + kPi / 4);  // brightest towards the upper right
        fan[i + 1] = {cx + radius * std::cos(a), cy + radius * std::sin(a), 0.0f, 1.0f,
                      Blend(Space.planetRim, Space.planet, light * 0.8f)};
    }
    Device->SetFVF(kScreenFVF);
    Device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, kPlanetSegments, fan, sizeof(ScreenVertex));
}

void DrawStars(const D3DVIEWPORT9& vp) {
    if (!Stars) return;
    const float seconds = static_cast<float>(GetTickCount() - StartTick) / 1000.0f;
    const D3DMATRIX world = StarWorld(seconds * static_cast<float>(Space.speed) / 1000.0f);
    const D3DMATRIX view = Identity();
    const D3DMATRIX projection =
        Perspective(kPi / 3, vp.Height ? static_cast<float>(vp.Width) / static_cast<float>(vp.Height) : 1.0f, 1.0f,
                    100.0f);
    Device->SetTransform(D3DTS_WORLD, &world);
    Device->SetTransform(D3DTS_VIEW, &view);
    Device->SetTransform(D3DTS_PROJECTION, &projection);
    Device->SetStreamSource(0, Stars, 0, sizeof(StarVertex));
    Device->SetFVF(kStarFVF);
    // Every eighth star is drawn twice as large.
    const UINT bright = static_cast<UINT>(Space.stars) / 8;
    float size = 2.0f;
    DWORD sizeBits;
    std::memcpy(&sizeBits, &size, sizeof sizeBits);
    Device->SetRenderState(D3DRS_POINTSIZE, sizeBits);
    if (bright) Device->DrawPrimitive(D3DPT_POINTLIST, 0, bright);
    size = 1.0f;
    std::memcpy(&sizeBits, &size, sizeof sizeBits);
    Device->SetRenderState(D3DRS_POINTSIZE, sizeBits);
    Device->DrawPrimitive(D3DPT_POINTLIST, bright, static_cast<UINT>(Space.stars) - bright);
    Device->SetStreamSource(0, nullptr, 0, 0);
}

// The render and texture-stage states the drawing changes, put back afterwards.
struct SavedStates {
    static constexpr D3DRENDERSTATETYPE kRender[] = {D3DRS_LIGHTING,    D3DRS_ZENABLE,  D3DRS_ZWRITEENABLE,
                                                     D3DRS_ALPHABLENDENABLE, D3DRS_CULLMODE, D3DRS_POINTSIZE};
    static constexpr D3DTEXTURESTAGESTATETYPE kStage[] = {D3DTSS_COLOROP, D3DTSS_COLORARG1, D3DTSS_ALPHAOP,
                                                          D3DTSS_ALPHAARG1};
    DWORD render[sizeof kRender / sizeof kRender[0]] = {};
    DWORD stage[sizeof kStage / sizeof kStage[0]] = {};
    IDirect3DBaseTexture9* texture = nullptr;

    void Save() {
        for (size_t i = 0; i < sizeof kRender / sizeof kRender[0]; ++i) Device->GetRenderState(kRender[i], &render[i]);
        for (size_t i = 0; i < sizeof kStage / sizeof kStage[0]; ++i) Device->GetTextureStageState(0, kStage[i], &stage[i]);
        Device->GetTexture(0, &texture);
    }
    void Restore() {
        for (size_t i = 0; i < sizeof kRender / sizeof kRender[0]; ++i) Device->SetRenderState(kRender[i], render[i]);
        for (size_t i = 0; i < sizeof kStage / sizeof kStage[0]; ++i) Device->SetTextureStageState(0, kStage[i], stage[i]);
        Device->SetTexture(0, texture);
        if (texture) texture->Release();
        texture = nullptr;
    }
};
constexpr D3DRENDERSTATETYPE SavedStates::kRender[];
constexpr D3DTEXTURESTAGESTATETYPE SavedStates::kStage[];

}  // namespace

extern "C" {

void PLUGIN_CALL Version(int32_t* major, int32_t* minor) {
    *major = 1;
    *minor = 0;
}

void PLUGIN_CALL Init(IDirect3DDevice9* device, int32_t) {
    if (!device) return;
    Device = device;
    Device->AddRef();
    StartTick = GetTickCount();
    ReadSettings();
    MakeStars();
}

void PLUGIN_CALL Render() {
    if (!Device) return;
    D3DVIEWPORT9 vp{};
    Device->GetViewport(&vp);
    if (FAILED(Device->BeginScene())) return;
    SavedStates saved;
    saved.Save();
    Device->SetTexture(0, nullptr);
    Device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    Device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    Device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    Device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    Device->SetRenderState(D3DRS_LIGHTING, FALSE);
    Device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    Device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    Device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    Device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    DrawSky(vp);
    DrawStars(vp);
    DrawPlanet(vp);
    saved.Restore();
    Device->EndScene();
}

void PLUGIN_CALL Invalidate() { DropStars(); }

void PLUGIN_CALL Restore() { MakeStars(); }

void PLUGIN_CALL Kill() {
    DropStars();
    if (Device) Device->Release();
    Device = nullptr;
}

}  // extern "C"
