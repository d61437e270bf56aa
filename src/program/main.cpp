// _3DVexlor: the control program. "/EXIT" as the first parameter puts the remembered wallpaper back
// and ends; any other start becomes the tray program.
#include "frmMain.h"
#include "uExit.h"

#include <windows.h>
#include <objbase.h>
#include <ole2.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>

// The about box of the splash library, bound when the program loads.
extern "C" __declspec(dllimport) void WINAPI _ShowAbout(unsigned char modal);

static std::string FirstParameter() { return __argc > 1 && __argv ? std::string(__argv[1]) : std::string(); }

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (FAILED(OleInitialize(nullptr))) CoInitialize(nullptr);
    int code = 0;
    if (IsExitStart(FirstParameter())) {
        RunExitStart();
    } else {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        AboutBoxProc = &_ShowAbout;
        try {
            code = RunControlProgram();
        } catch (...) {
            code = 1;
        }
    }
    OleUninitialize();
    return code;
}
