// _3DVexlorForms.dll: a small splash window with a text line and a state line, and a modal about box.
//   HWND _ShowSplesh(BOOL topMost)        shows the splash (topmost when the argument is true)
//   void _SpleshSetText(HWND, const char*)  the text line
//   void _SpleshSetState(HWND, const char*) the state line
//   void _CloseSplesh(HWND)                 closes it
//   void _ShowAbout(BYTE)                   the about box, modal
// The splash window's class is "T3DVexlorSplash"; its two lines are static controls with the ids 101
// (text) and 102 (state), so other programs can read them.
#include <windows.h>

namespace {

const char kSplashClass[] = "T3DVexlorSplash";
const int kTextId = 101;
const int kStateId = 102;
const int kWidth = 360;
const int kHeight = 130;

HINSTANCE gInstance = nullptr;

LRESULT CALLBACK SplashProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT r;
            GetClientRect(hwnd, &r);
            HBRUSH back = CreateSolidBrush(RGB(16, 24, 48));
            FillRect(dc, &r, back);
            DeleteObject(back);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(255, 255, 255));
            RECT title = {0, 12, r.right, 44};
            DrawTextA(dc, "3D Vexlor", -1, &title, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(220, 220, 220));
            SetBkColor(dc, RGB(16, 24, 48));
            static HBRUSH brush = CreateSolidBrush(RGB(16, 24, 48));
            return reinterpret_cast<LRESULT>(brush);
        }
        default:
            return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

void RegisterSplashClass() {
    WNDCLASSA existing;
    if (GetClassInfoA(gInstance, kSplashClass, &existing)) return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = SplashProc;
    wc.hInstance = gInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_WAIT);
    wc.lpszClassName = kSplashClass;
    RegisterClassA(&wc);
}

bool IsSplash(HWND hwnd) {
    char cls[64] = {};
    return hwnd && IsWindow(hwnd) && GetClassNameA(hwnd, cls, sizeof(cls)) && lstrcmpA(cls, kSplashClass) == 0;
}

void SetLine(HWND splash, int id, const char* text) {
    if (!IsSplash(splash)) return;
    HWND line = GetDlgItem(splash, id);
    if (!line) return;
    SetWindowTextA(line, text ? text : "");
    // The caller is busy and pumps no messages: paint now.
    UpdateWindow(line);
}

}  // namespace

extern "C" {

__declspec(dllexport) HWND WINAPI _ShowSplesh(BOOL topMost) {
    RegisterSplashClass();
    int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    HWND splash = CreateWindowExA(WS_EX_TOOLWINDOW | (topMost ? WS_EX_TOPMOST : 0), kSplashClass, "3D Vexlor",
                                  WS_POPUP | WS_BORDER, x, y, kWidth, kHeight, nullptr, nullptr, gInstance, nullptr);
    if (!splash) return nullptr;
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HWND text = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 10, 56,
                                kWidth - 22, 20, splash, reinterpret_cast<HMENU>(kTextId), gInstance, nullptr);
    HWND state = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 10, 84,
                                 kWidth - 22, 20, splash, reinterpret_cast<HMENU>(kStateId), gInstance, nullptr);
    SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(state, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowWindow(splash, SW_SHOWNOACTIVATE);
    UpdateWindow(splash);
    return splash;
}

__declspec(dllexport) void WINAPI _SpleshSetText(HWND splash, const char* text) { SetLine(splash, kTextId, text); }

__declspec(dllexport) void WINAPI _SpleshSetState(HWND splash, const char* text) { SetLine(splash, kStateId, text); }

__declspec(dllexport) void WINAPI _CloseSplesh(HWND splash) {
    if (IsSplash(splash)) DestroyWindow(splash);
}

__declspec(dllexport) void WINAPI _ShowAbout(BYTE) {
    MessageBoxA(GetActiveWindow(), "3D Vexlor\r\n\r\nThe desktop as a rotating cube.", "About 3D Vexlor",
                MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) gInstance = instance;
    return TRUE;
}

}  // extern "C"
