// Finding and answering the system's dialogs.
#include "test_dialogs.h"

#include <cstring>

namespace testing_support {

namespace {

struct Search {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    char cls[16] = {}, text[256] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") != 0 || !IsWindowVisible(w)) return TRUE;
    GetWindowTextA(w, text, sizeof text);
    if (s->caption && std::strcmp(text, s->caption) != 0) return TRUE;
    s->found = w;
    return FALSE;
}

}  // namespace

HWND FindThreadDialog(const char* caption) {
    Search s = {caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &MatchDialog, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

bool ConfirmOpenDialog(const std::string& path) {
    HWND open = FindThreadDialog();
    if (!open) return false;
    HWND name = GetDlgItem(open, 0x47c);  // the file name box: a combo box, or an edit in older layouts
    if (!name) name = GetDlgItem(open, 0x480);
    if (!name) return false;
    SetWindowTextA(name, path.c_str());
    PostMessageA(open, WM_COMMAND, IDOK, 0);
    return true;
}

std::string MessageBoxText(HWND box) {
    char text[2048] = {};
    GetWindowTextA(GetDlgItem(box, 0xFFFF), text, sizeof text);
    return text;
}

bool AnswerMessageBox(const char* caption, std::string& text) {
    HWND box = FindThreadDialog(caption);
    if (!box) return false;
    text = MessageBoxText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return true;
}

}  // namespace testing_support
