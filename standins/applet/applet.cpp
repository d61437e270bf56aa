// Stand-in for the new-shortcut wizard of the control-panel applet "appwiz.cpl" (Wine's has none). Run by
// rundll32 as "appwiz.cpl,NewLinkHere <folder>", it records the command it got, one line per call, in
// "NewLinkHere.log" in the Windows temporary folder, and shows no wizard.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void Record(const std::string& arguments) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string log = std::string(windows) + "\\Temp\\NewLinkHere.log";
    FILE* f = fopen(log.c_str(), "ab");
    if (!f) return;
    fprintf(f, "NewLinkHere %s\r\n", arguments.c_str());
    fclose(f);
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

// The applet entry: no applets to show.
LONG CALLBACK CPlApplet(HWND, UINT message, LPARAM, LPARAM) { return message == 1 /* CPL_INIT */ ? 1 : 0; }

}  // extern "C"
