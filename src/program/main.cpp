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

namespace {
// COM for the program's thread, single-threaded apartment: OLE when it can be had, plain COM otherwise.
// Ends what it began, and only that: nothing when neither could be initialised.
class ComApartment {
public:
    ComApartment() {
        if (SUCCEEDED(OleInitialize(nullptr))) kind_ = Kind::Ole;
        else if (SUCCEEDED(CoInitialize(nullptr))) kind_ = Kind::Com;
    }
    ~ComApartment() {
        if (kind_ == Kind::Ole) OleUninitialize();
        else if (kind_ == Kind::Com) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    enum class Kind { None, Ole, Com };
    Kind kind_ = Kind::None;
};
}  // namespace

static std::string FirstParameter() { return __argc > 1 && __argv ? std::string(__argv[1]) : std::string(); }

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ComApartment com;
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
    return code;
}
