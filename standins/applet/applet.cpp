// Stand-in for control-panel applets that Wine lacks: the new-shortcut wizard of "appwiz.cpl" and the
// display properties "desk.cpl" (the same library under both names). Run by rundll32 as
// "appwiz.cpl,NewLinkHere <folder>", it records the command it got, one line per call, in
// "NewLinkHere.log" in the Windows temporary folder, and shows no wizard. Opened by the control panel
// (CPlApplet), it records "CPlApplet <its own file>" in "Applet.log" there, and shows nothing.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void Append(const char* logName, const std::string& line) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string log = std::string(windows) + "\\Temp\\" + logName;
    FILE* f = fopen(log.c_str(), "ab");
    if (!f) return;
    fprintf(f, "%s\r\n", line.c_str());
    fclose(f);
}

void Record(const std::string& arguments) { Append("NewLinkHere.log", "NewLinkHere " + arguments); }

HMODULE ThisLibrary() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisLibrary), &module);
    return module;
}

}  // namespace

extern "C" {

// Called by rundll32: nothing may escape to it.
void CALLBACK NewLinkHere(HWND, HINSTANCE, LPSTR arguments, int) {
    try {
        Record(arguments ? arguments : "");
    } catch (...) {
    }
}

void CALLBACK NewLinkHereW(HWND, HINSTANCE, LPWSTR arguments, int) {
    try {
        std::string text;
        if (arguments) {
            int n = WideCharToMultiByte(CP_ACP, 0, arguments, -1, nullptr, 0, nullptr, nullptr);
            if (n > 1) {
                text.resize(static_cast<size_t>(n));
                WideCharToMultiByte(CP_ACP, 0, arguments, -1, &text[0], n, nullptr, nullptr);
                text.resize(static_cast<size_t>(n - 1));
            }
        }
        Record(text);
    } catch (...) {
    }
}

// The applet entry: notes that the control panel opened this library, and has no applets to show.
LONG CALLBACK CPlApplet(HWND, UINT message, LPARAM, LPARAM) {
    if (message != 1 /* CPL_INIT */) return 0;
    try {
        char file[MAX_PATH] = {};
        GetModuleFileNameA(ThisLibrary(), file, MAX_PATH);
        Append("Applet.log", std::string("CPlApplet ") + file);
    } catch (...) {
    }
    return 1;
}

}  // extern "C"
