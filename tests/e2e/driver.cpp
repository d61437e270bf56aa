// vexlor_driver: drives and inspects the running programs from inside the Wine prefix for the end-to-end
// scripts and the run command. One command per start; the exit code is 0 on success.
//   exists <class>                       a top-level window of the class exists
//   wait <class> <ms>                    waits until one exists
//   wait-gone <class> <ms>               waits until none exists
//   post <class> <message> [w] [l]       posts a registered message (by name) or a number to the window
//   send <class> <message> [w] [l]       sends it and prints the result
//   copydata <class> <dwData> <text>     sends WM_COPYDATA with exactly the text's bytes (no zero); "-" none
//   broadcast <message name>             broadcasts a registered message to top-level windows
//   tray <class> <mouse message number>  posts the tray callback (2048) with that mouse message
//   text <class>                         prints the window's caption
//   count <class>                        prints how many top-level windows of the class exist
//   icons                                prints 1 when the desktop icon list is visible (style), else 0
//   hide-icons                           hides the desktop icon list as the control does
//   msgbox                               prints the text of an open message box and presses its OK
//   key <class> <vk>                     posts a key down and up to the window
//   capture <file.bmp>                   saves the screen as a 24-bit bitmap
//   children <class>                     prints the class names of the window's direct children
//   list                                 prints class|caption|visible of every top-level window
//   raise <class>                        brings the window to the top of the Z order
//   hold <class> <ms>                    keeps a hidden window of the class for that long
//   stall <class> <ms>                   keeps a hidden window of the class that answers nothing for that long
//   tray-delete <class> <id>             takes the window's notification-area icon with that id away
//   cursor <x> <y> [ms]                  moves the mouse cursor to the screen point; with ms, tries again
//                                        for up to that long until the pointer is there (Wine refuses a
//                                        move while another X client holds the pointer) and prints the
//                                        tries and the milliseconds taken
//   rect <class> [child]                 prints "left top right bottom" of the window (or of its first
//                                        descendant whose class name or caption is <child>) in screen pixels
//   child-post <class> <child> <message> [w] [l]  posts to the window's first descendant whose class
//                                        name or caption is <child> ("<child>#n": the n-th such one)
//   set-text <class> <child> <text>      sets the text of that descendant (an edit box's, say)
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

UINT MessageOf(const char* text) {
    char* end = nullptr;
    unsigned long n = strtoul(text, &end, 0);
    if (end && *end == '\0' && end != text) return static_cast<UINT>(n);
    return RegisterWindowMessageA(text);
}

LPARAM NumberOf(int argc, char** argv, int index) {
    return index < argc ? static_cast<LPARAM>(strtol(argv[index], nullptr, 0)) : 0;
}

HWND Find(const char* cls) { return FindWindowA(cls, nullptr); }

// A hidden 0 x 0 tool window of its own class |cls|.
HWND MakeHiddenWindow(const char* cls) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    return CreateWindowExA(WS_EX_TOOLWINDOW, cls, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
}

bool WaitFor(const char* cls, DWORD ms, bool present) {
    DWORD start = GetTickCount();
    for (;;) {
        bool found = Find(cls) != nullptr;
        if (found == present) return true;
        if (GetTickCount() - start >= ms) return false;
        Sleep(50);
    }
}

struct CountContext {
    const char* cls;
    int n;
};

BOOL CALLBACK CountOne(HWND w, LPARAM p) {
    auto* c = reinterpret_cast<CountContext*>(p);
    char name[256] = {};
    GetClassNameA(w, name, sizeof name);
    if (strcmp(name, c->cls) == 0) ++c->n;
    return TRUE;
}

BOOL CALLBACK PrintOne(HWND w, LPARAM) {
    char name[256] = {}, text[256] = {};
    GetClassNameA(w, name, sizeof name);
    GetWindowTextA(w, text, sizeof text);
    printf("%s|%s|%d\n", name, text, IsWindowVisible(w) ? 1 : 0);
    return TRUE;
}

int CountWindows(const char* cls) {
    CountContext ctx = {cls, 0};
    EnumWindows(&CountOne, reinterpret_cast<LPARAM>(&ctx));
    return ctx.n;
}

HWND DesktopListView() {
    HWND progman = FindWindowA("ProgMan", nullptr);
    HWND view = progman ? GetWindow(progman, GW_CHILD) : nullptr;
    HWND list = view ? GetWindow(view, GW_CHILD) : nullptr;
    char name[40] = {};
    if (list) GetClassNameA(list, name, 40);
    return strcmp(name, "SysListView32") == 0 ? list : nullptr;
}

int Capture(const char* file) {
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    BitBlt(dc, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    int stride = ((w * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof(BITMAPINFOHEADER);
    fh.bfSize = fh.bfOffBits + stride * h;
    FILE* f = fopen(file, "wb");
    int rc = 1;
    if (f) {
        fwrite(&fh, sizeof fh, 1, f);
        fwrite(&bi.bmiHeader, sizeof(BITMAPINFOHEADER), 1, f);
        fwrite(bits, 1, static_cast<size_t>(stride) * h, f);
        fclose(f);
        rc = 0;
    }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return rc;
}

struct ChildSearch {
    std::string key;
    int skip;  // matches to pass over first
    HWND found;
};

BOOL CALLBACK MatchChild(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<ChildSearch*>(p);
    char name[256] = {}, text[256] = {};
    GetClassNameA(w, name, sizeof name);
    GetWindowTextA(w, text, sizeof text);
    if (s->key != name && s->key != text) return TRUE;
    if (s->skip-- > 0) return TRUE;
    s->found = w;
    return FALSE;
}

// "<class or caption>" or "<class or caption>#n" (the n-th, from 1).
HWND FindChild(HWND parent, const char* key) {
    ChildSearch s = {key, 0, nullptr};
    const size_t hash = s.key.rfind('#');
    if (hash != std::string::npos && hash > 0 && hash + 1 < s.key.size() &&
        s.key.find_first_not_of("0123456789", hash + 1) == std::string::npos) {
        s.skip = atoi(s.key.c_str() + hash + 1) - 1;
        s.key.resize(hash);
    }
    EnumChildWindows(parent, &MatchChild, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

int MessageBoxText() {
    HWND box = FindWindowA("#32770", nullptr);
    if (!box) return 1;
    HWND text = GetDlgItem(box, 0xFFFF);
    char buffer[1024] = {};
    if (text) GetWindowTextA(text, buffer, sizeof buffer);
    printf("%s\n", buffer);
    fflush(stdout);
    HWND ok = GetDlgItem(box, IDOK);
    if (ok) PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    else PostMessageA(box, WM_CLOSE, 0, 0);
    return 0;
}

// Moves the cursor; with |ms| above 0, tries until the pointer is there or the time is up, and prints the
// tries and the milliseconds they took. GetCursorPos asks the X server where the pointer is only when
// Wine's own record of it is 100 ms old or more (a refused move still changes the record): each try waits
// that long before it looks.
int MoveCursor(int x, int y, LPARAM ms) {
    if (ms <= 0) return SetCursorPos(x, y) ? 0 : 1;
    POINT p;
    GetCursorPos(&p);  // the first call connects to the X server: the time is the tries' own
    const DWORD start = GetTickCount();
    int tries = 0;
    bool there = false;
    do {
        ++tries;
        SetCursorPos(x, y);
        Sleep(120);
        there = GetCursorPos(&p) && p.x == x && p.y == y;
    } while (!there && GetTickCount() - start < static_cast<DWORD>(ms));
    printf("%d %lu\n", tries, GetTickCount() - start);
    return there ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::string cmd = argv[1];
    if (cmd == "exists" && argc >= 3) return Find(argv[2]) ? 0 : 1;
    if (cmd == "wait" && argc >= 4) return WaitFor(argv[2], strtoul(argv[3], nullptr, 0), true) ? 0 : 1;
    if (cmd == "wait-gone" && argc >= 4) return WaitFor(argv[2], strtoul(argv[3], nullptr, 0), false) ? 0 : 1;
    if ((cmd == "post" || cmd == "send") && argc >= 4) {
        HWND w = Find(argv[2]);
        if (!w) return 1;
        UINT msg = MessageOf(argv[3]);
        if (cmd == "post") return PostMessageA(w, msg, NumberOf(argc, argv, 4), NumberOf(argc, argv, 5)) ? 0 : 1;
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(w, msg, NumberOf(argc, argv, 4), NumberOf(argc, argv, 5), SMTO_NORMAL, 10000,
                                 &result))
            return 1;
        printf("%lld\n", static_cast<long long>(static_cast<LRESULT>(result)));
        return 0;
    }
    if (cmd == "copydata" && argc >= 5) {
        HWND w = Find(argv[2]);
        if (!w) return 1;
        COPYDATASTRUCT cds = {};
        cds.dwData = strtoul(argv[3], nullptr, 0);
        std::string text = argv[4];
        if (text != "-") {
            cds.cbData = static_cast<DWORD>(text.size());
            cds.lpData = &text[0];
        }
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(w, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 10000, &result))
            return 1;
        printf("%lld\n", static_cast<long long>(static_cast<LRESULT>(result)));
        return 0;
    }
    if (cmd == "broadcast" && argc >= 3) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(HWND_BROADCAST, MessageOf(argv[2]), 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
        return 0;
    }
    if (cmd == "tray" && argc >= 4) {
        HWND w = Find(argv[2]);
        if (!w) return 1;
        return PostMessageA(w, 2048, 1, static_cast<LPARAM>(strtol(argv[3], nullptr, 0))) ? 0 : 1;
    }
    if (cmd == "text" && argc >= 3) {
        HWND w = Find(argv[2]);
        if (!w) return 1;
        char buffer[512] = {};
        GetWindowTextA(w, buffer, sizeof buffer);
        printf("%s\n", buffer);
        return 0;
    }
    if (cmd == "count" && argc >= 3) {
        printf("%d\n", CountWindows(argv[2]));
        return 0;
    }
    if (cmd == "icons") {
        HWND list = DesktopListView();
        if (!list) return 1;
        printf("%d\n", (GetWindowLongA(list, GWL_STYLE) & WS_VISIBLE) ? 1 : 0);
        return 0;
    }
    if (cmd == "hide-icons") {
        HWND list = DesktopListView();
        if (!list) return 1;
        ShowWindow(list, SW_HIDE);
        return 0;
    }
    if (cmd == "msgbox") return MessageBoxText();
    if (cmd == "key" && argc >= 4) {
        HWND w = Find(argv[2]);
        if (!w) return 1;
        WPARAM vk = strtoul(argv[3], nullptr, 0);
        PostMessageA(w, WM_KEYDOWN, vk, 1);
        PostMessageA(w, WM_KEYUP, vk, 0xC0000001);
        return 0;
    }
    if (cmd == "capture" && argc >= 3) return Capture(argv[2]);
    if (cmd == "raise" && argc >= 3) {
        HWND w = Find(argv[2]);
        if (!w) return 1;
        return SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE) ? 0 : 1;
    }
    if (cmd == "stall" && argc >= 4) {
        HWND w = MakeHiddenWindow(argv[2]);
        if (!w) return 1;
        Sleep(strtoul(argv[3], nullptr, 0));  // messages sent to it wait meanwhile
        DestroyWindow(w);
        return 0;
    }
    if (cmd == "tray-delete" && argc >= 4) {
        HWND w = Find(argv[2]);
        if (!w) return 1;
        NOTIFYICONDATAA data = {};
        data.cbSize = NOTIFYICONDATAA_V2_SIZE;
        data.hWnd = w;
        data.uID = strtoul(argv[3], nullptr, 0);
        return Shell_NotifyIconA(NIM_DELETE, &data) ? 0 : 1;
    }
    if (cmd == "hold" && argc >= 4) {
        HWND w = MakeHiddenWindow(argv[2]);
        if (!w) return 1;
        DWORD start = GetTickCount(), ms = strtoul(argv[3], nullptr, 0);
        while (GetTickCount() - start < ms) {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
            Sleep(20);
        }
        DestroyWindow(w);
        return 0;
    }
    if (cmd == "cursor" && argc >= 4) return MoveCursor(atoi(argv[2]), atoi(argv[3]), NumberOf(argc, argv, 4));
    if (cmd == "rect" && argc >= 3) {
        HWND w = Find(argv[2]);
        if (w && argc >= 4) w = FindChild(w, argv[3]);
        RECT r;
        if (!w || !GetWindowRect(w, &r)) return 1;
        printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        return 0;
    }
    if (cmd == "child-post" && argc >= 5) {
        HWND w = Find(argv[2]);
        HWND child = w ? FindChild(w, argv[3]) : nullptr;
        if (!child) return 1;
        return PostMessageA(child, MessageOf(argv[4]), NumberOf(argc, argv, 5), NumberOf(argc, argv, 6)) ? 0 : 1;
    }
    if (cmd == "set-text" && argc >= 5) {
        HWND w = Find(argv[2]);
        HWND child = w ? FindChild(w, argv[3]) : nullptr;
        if (!child) return 1;
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]), SMTO_NORMAL, 10000,
                                   &result) && result
                   ? 0
                   : 1;
    }
    if (cmd == "list") {
        EnumWindows(&PrintOne, 0);
        return 0;
    }
    if (cmd == "children" && argc >= 3) {
        HWND w = Find(argv[2]);
        if (!w) return 1;
        for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            char name[256] = {}, text[256] = {};
            GetClassNameA(c, name, sizeof name);
            GetWindowTextA(c, text, sizeof text);
            printf("%s|%s|%d\n", name, text, IsWindowVisible(c) ? 1 : 0);
        }
        return 0;
    }
    return 2;
}
