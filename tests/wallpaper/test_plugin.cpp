// A 3D wallpaper plug-in for the host tests, built in several forms (the version it reports, or no
// Version export at all). It notes every call with the current folder in the file that
// VEXLOR_PLUGIN_LOG names, raises, faults or overflows its stack in the export that VEXLOR_PLUGIN_FAULT
// names ("Render=raise", "Init=fault", "Render=overflow", ...), sets odd transforms in Init and Render,
// and fills the whole view with the colour of "data\colour.txt" from a default-pool vertex buffer that it
// gives up for a reset. It keeps no reference of its own to the device: the host's must last until Kill.
#include <windows.h>
#include <d3d9.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined(__i386__)
#define PLUGIN_CALL __attribute__((regparm(2)))
#else
#define PLUGIN_CALL
#endif

namespace {

struct ScreenVertex {
    float x, y, z, rhw;
    DWORD colour;
};
constexpr DWORD kScreenFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

IDirect3DDevice9* Device = nullptr;
IDirect3DVertexBuffer9* Quad = nullptr;
DWORD Colour = 0xFF00FF00;

std::string Env(const char* name) {
    char value[1024] = {};
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

std::string CurrentFolder() {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

void Log(const std::string& line) {
    const std::string file = Env("VEXLOR_PLUGIN_LOG");
    if (file.empty()) return;
    HANDLE h = CreateFileA(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winfinite-recursion"
// Recurses until the stack runs out. Each level takes a page of stack and ends at the same offset into
// its page, like a plug-in with small frames: the stack's last guard page is met where the exception that
// reports the overflow still has room above the last page (Wine's 64-bit loader needs about 7 KB for it,
// its 32-bit one less), and with no guard page left the page below is met where no exception fits any more.
#if defined(__x86_64__)
constexpr uintptr_t kLevelEnd = 3840;
#else
constexpr uintptr_t kLevelEnd = 1024;
#endif
__attribute__((noinline)) int Bottomless(int depth) {
    char top;
    const uintptr_t here = reinterpret_cast<uintptr_t>(&top);
    const uintptr_t end = (here & ~uintptr_t{4095}) - 4096 + kLevelEnd;
    volatile char* level = static_cast<volatile char*>(__builtin_alloca(here - end));
    level[0] = static_cast<char>(depth);
    return Bottomless(depth + 1) + level[0];
}
#pragma GCC diagnostic pop

// Notes the call, then misbehaves when asked to.
void Enter(const char* name, const std::string& extra = std::string()) {
    Log(std::string(name) + " cwd=" + CurrentFolder() + extra);
    const std::string fault = "," + Env("VEXLOR_PLUGIN_FAULT") + ",";
    if (fault.find("," + std::string(name) + "=raise,") != std::string::npos)
        RaiseException(0x0EEDFADE, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    if (fault.find("," + std::string(name) + "=fault,") != std::string::npos) *static_cast<volatile int*>(nullptr) = 1;
    if (fault.find("," + std::string(name) + "=overflow,") != std::string::npos) Bottomless(0);
}

void SetOddTransforms() {
    D3DMATRIX odd{};
    odd._11 = odd._22 = odd._33 = 7.0f;
    odd._44 = 1.0f;
    Device->SetTransform(D3DTS_WORLD, &odd);
    Device->SetTransform(D3DTS_VIEW, &odd);
    Device->SetTransform(D3DTS_PROJECTION, &odd);
}

void MakeQuad() {
    if (!Device || Quad) return;
    D3DVIEWPORT9 vp{};
    Device->GetViewport(&vp);
    const float w = static_cast<float>(vp.Width), h = static_cast<float>(vp.Height);
    const ScreenVertex v[4] = {{0, 0, 0, 1, Colour}, {w, 0, 0, 1, Colour}, {0, h, 0, 1, Colour}, {w, h, 0, 1, Colour}};
    if (FAILED(Device->CreateVertexBuffer(sizeof v, D3DUSAGE_WRITEONLY, kScreenFVF, D3DPOOL_DEFAULT, &Quad, nullptr)))
        return;
    void* p = nullptr;
    if (SUCCEEDED(Quad->Lock(0, sizeof v, &p, 0))) {
        std::memcpy(p, v, sizeof v);
        Quad->Unlock();
    }
}

void DropQuad() {
    if (Quad) Quad->Release();
    Quad = nullptr;
}

}  // namespace

extern "C" {

#if !defined(PLUGIN_NO_VERSION)
__declspec(dllexport) void PLUGIN_CALL Version(int32_t* major, int32_t* minor) {
    Enter("Version");
    *major = PLUGIN_VERSION_MAJOR;
    *minor = PLUGIN_VERSION_MINOR;
}
#endif

__declspec(dllexport) void PLUGIN_CALL Init(IDirect3DDevice9* device, int32_t parameter) {
    Enter("Init", " param=" + std::to_string(parameter));
    Device = device;
    char text[32] = {};
    if (FILE* f = std::fopen("data\\colour.txt", "rb")) {
        std::fgets(text, sizeof text, f);
        std::fclose(f);
        Colour = 0xFF000000u | static_cast<DWORD>(std::strtoul(text, nullptr, 16));
    }
    if (!Device) return;
    SetOddTransforms();
    MakeQuad();
}

__declspec(dllexport) void PLUGIN_CALL Render() {
    Enter("Render");
    if (!Device || !Quad) return;
    SetOddTransforms();
    if (FAILED(Device->BeginScene())) return;
    DWORD z = 0, lighting = 0;
    Device->GetRenderState(D3DRS_ZENABLE, &z);
    Device->GetRenderState(D3DRS_LIGHTING, &lighting);
    Device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    Device->SetRenderState(D3DRS_LIGHTING, FALSE);
    Device->SetTexture(0, nullptr);
    Device->SetStreamSource(0, Quad, 0, sizeof(ScreenVertex));
    Device->SetFVF(kScreenFVF);
    Device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    Device->SetStreamSource(0, nullptr, 0, 0);
    Device->SetRenderState(D3DRS_ZENABLE, z);
    Device->SetRenderState(D3DRS_LIGHTING, lighting);
    Device->EndScene();
}

__declspec(dllexport) void PLUGIN_CALL Invalidate() {
    Enter("Invalidate");
    DropQuad();
}

__declspec(dllexport) void PLUGIN_CALL Restore() {
    Enter("Restore");
    MakeQuad();
}

__declspec(dllexport) void PLUGIN_CALL Kill() {
    // The device must still be alive here: note how many references it has besides this one.
    std::string refs;
    if (Device) {
        const ULONG count = Device->AddRef();
        Device->Release();
        refs = " refs=" + std::to_string(count);
    }
    Enter("Kill", refs);
    DropQuad();
    Device = nullptr;
}

}  // extern "C"
