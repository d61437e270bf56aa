// Stand-in for control-panel applets that Wine lacks: the new-shortcut wizard of "appwiz.cpl" and the
// display properties "desk.cpl" (the same library under both names).
//
// Run by rundll32 as "appwiz.cpl,NewLinkHere <folder>", it records the command it got, one line per call, in
// "NewLinkHere.log" in the Windows temporary folder, then asks in a window of class "NewLinkWizard"
// (caption "Create Shortcut") for the location of the item and a name, and writes "<name>.lnk" pointing at
// that location into the folder; Cancel writes nothing. Opened by the control panel (CPlApplet), it records
// "CPlApplet <its own file>" in "Applet.log" there, and shows nothing.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "components/comptr.h"
#include "components/dialog.h"
#include "components/comctrls.h"
#include "components/paths.h"

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

HMODULE ThisLibrary() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisLibrary), &module);
    return module;
}

// The folder as rundll32 hands it over: surrounding blanks and quotes go.
std::string FolderOf(std::string text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '"'; };
    while (!text.empty() && blank(text.back())) text.pop_back();
    size_t first = 0;
    while (first < text.size() && blank(text[first])) ++first;
    return text.substr(first);
}

// Writes |folder|\|name|.lnk pointing at |target|; false with a reason when it can't.
bool WriteShortcut(const std::string& folder, const std::string& target, std::string name, std::string& reason) {
    if (target.empty()) {
        reason = "Type the location of the item.";
        return false;
    }
    if (name.empty() || name.find_first_of("\\/:*?\"<>|") != std::string::npos) {
        reason = "Type a name for this shortcut (without \\ / : * ? \" < > |).";
        return false;
    }
    if (name.size() < 4 || _stricmp(name.c_str() + name.size() - 4, ".lnk") != 0) name += ".lnk";
    const std::string file = comp::JoinPath(folder, name);

    comp::ComPtr<IShellLinkA> link;
    comp::ComPtr<IPersistFile> persist;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(link.Receive()));
    if (SUCCEEDED(hr)) hr = link->SetPath(target.c_str());
    if (SUCCEEDED(hr)) hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.Receive()));
    if (SUCCEEDED(hr)) {
        const int n = MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, nullptr, 0);
        std::wstring wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
        MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, &wide[0], n);
        hr = persist->Save(wide.c_str(), TRUE);
    }
    if (FAILED(hr)) reason = "The shortcut could not be written to " + file + ".";
    return SUCCEEDED(hr);
}

class NewLinkWizard : public comp::Dialog {
public:
    explicit NewLinkWizard(std::string folder)
        : Dialog(comp::DialogParams{"NewLinkWizard", "Create Shortcut", 400, 170, false}),
          folder_(std::move(folder)) {
        AddLabel("Type the location of the item:", 12, 12, 376, 16);
        target_ = &AddControl<comp::Edit>("", 12, 32, 376, 22);
        AddLabel("Type a name for this shortcut:", 12, 66, 376, 16);
        name_ = &AddControl<comp::Edit>("", 12, 86, 376, 22);
        comp::Button& ok = AddButton("OK", 220, 130, 80, 26, true);
        AddButton("Cancel", 308, 130, 80, 26, false, true);
        ok.OnClick = [this](comp::Button&) { Finish(); };
    }

private:
    void Finish() {
        std::string reason;
        if (WriteShortcut(folder_, target_->Text(), name_->Text(), reason)) SetModalResult(comp::mrOk);
        else MessageBoxA(Handle(), reason.c_str(), "Create Shortcut", MB_OK | MB_ICONWARNING);
    }

    std::string folder_;
    comp::Edit* target_ = nullptr;
    comp::Edit* name_ = nullptr;
};

void RunWizard(const std::string& arguments) {
    Append("NewLinkHere.log", "NewLinkHere " + arguments);
    const HRESULT com = CoInitialize(nullptr);
    {
        NewLinkWizard wizard(FolderOf(arguments));
        wizard.ShowModal();
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace

extern "C" {

// Called by rundll32: nothing may escape to it.
void CALLBACK NewLinkHere(HWND, HINSTANCE, LPSTR arguments, int) {
    comp::Guarded([&] { RunWizard(arguments ? arguments : ""); });
}

void CALLBACK NewLinkHereW(HWND, HINSTANCE, LPWSTR arguments, int) {
    comp::Guarded([&] {
        std::string text;
        if (arguments) {
            int n = WideCharToMultiByte(CP_ACP, 0, arguments, -1, nullptr, 0, nullptr, nullptr);
            if (n > 1) {
                text.resize(static_cast<size_t>(n));
                WideCharToMultiByte(CP_ACP, 0, arguments, -1, &text[0], n, nullptr, nullptr);
                text.resize(static_cast<size_t>(n - 1));
            }
        }
        RunWizard(text);
    });
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
