// Splash wrappers over "_3DVexlorForms.dll". The library is bound by name on first use, from this
// library's folder first; when it is missing or lacks an entry point the wrappers do nothing, so the
// control never depends on it.
#include "uSplesh.h"

#include <windows.h>

#include "shared/uPath.h"

namespace {

using ShowSpleshFn = HWND(WINAPI*)(BOOL);
using SpleshTextFn = void(WINAPI*)(HWND, const char*);
using CloseSpleshFn = void(WINAPI*)(HWND);

struct SplashLibrary {
    bool bound = false;
    HMODULE module = nullptr;
    ShowSpleshFn show = nullptr;
    SpleshTextFn setText = nullptr;
    SpleshTextFn setState = nullptr;
    CloseSpleshFn close = nullptr;
};

SplashLibrary& Library() {
    static SplashLibrary lib;
    if (!lib.bound) {
        lib.bound = true;
        // Beside this library first, then the usual search.
        lib.module = LoadLibraryA((GetAppPath() + "\\_3DVexlorForms.dll").c_str());
        if (!lib.module) lib.module = LoadLibraryA("_3DVexlorForms.dll");
        if (lib.module) {
            lib.show = reinterpret_cast<ShowSpleshFn>(GetProcAddress(lib.module, "_ShowSplesh"));
            lib.setText = reinterpret_cast<SpleshTextFn>(GetProcAddress(lib.module, "_SpleshSetText"));
            lib.setState = reinterpret_cast<SpleshTextFn>(GetProcAddress(lib.module, "_SpleshSetState"));
            lib.close = reinterpret_cast<CloseSpleshFn>(GetProcAddress(lib.module, "_CloseSplesh"));
        }
    }
    return lib;
}

HWND gSplashHandle = nullptr;
bool gSplashClosed = false;

}  // namespace

void ShowSplash() {
    if (gSplashClosed) return;
    SplashLibrary& lib = Library();
    if (lib.show) gSplashHandle = lib.show(TRUE);
}

void CloseSplash() {
    if (gSplashClosed) return;
    SplashLibrary& lib = Library();
    if (lib.close) lib.close(gSplashHandle);
    gSplashHandle = nullptr;
    gSplashClosed = true;
}

void SplashSetText(const std::string& text) {
    if (gSplashClosed) return;
    SplashLibrary& lib = Library();
    if (lib.setText) lib.setText(gSplashHandle, text.c_str());
}

void SplashSetState(const std::string& text) {
    if (gSplashClosed) return;
    SplashLibrary& lib = Library();
    if (lib.setState) lib.setState(gSplashHandle, text.c_str());
}

bool SplashClosed() { return gSplashClosed; }
