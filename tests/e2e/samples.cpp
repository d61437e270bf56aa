// vexlor_samples: puts a few sample items into the first face's folder of the user this runs as, when that
// folder is empty or missing, so that a first look at the desktop shows real items: a shortcut made
// through the shell link object, a document and a folder. Used by the run command; the system itself
// never adds items. Prints what it did; exit code 0 unless an item could not be made.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "components/paths.h"
#include "shared/uPath.h"
#include "shell_links.h"

namespace {

bool FolderIsEmpty(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return true;
    bool empty = true;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") empty = false;
    } while (empty && FindNextFileA(h, &found));
    FindClose(h);
    return empty;
}

bool WriteText(const std::string& path, const std::string& text) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == text.size();
}

}  // namespace

int main() {
    const std::string folder = GetAppDataPath() + "Desktops\\1\\";
    if (GetAppDataPath().empty()) {
        std::printf("samples: no profile folder\n");
        return 1;
    }
    if (!FolderIsEmpty(folder)) {
        std::printf("samples: %s already holds items\n", folder.c_str());
        return 0;
    }
    if (!comp::ForceDirectories(folder)) {
        std::printf("samples: cannot make %s\n", folder.c_str());
        return 1;
    }
    CoInitialize(nullptr);
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    bool ok = testing_support::MakeShortcut(folder + "Notepad.lnk", std::string(windows) + "\\notepad.exe",
                                            "Edit text files");
    ok = WriteText(folder + "Welcome.txt",
                   "Each face of the cube shows one folder: " + folder +
                       " is the front one.\r\nFiles, folders and shortcuts put there appear on the face.\r\n") &&
         ok;
    ok = (CreateDirectoryA((folder + "Projects").c_str(), nullptr) != FALSE) && ok;
    CoUninitialize();
    std::printf("samples: %s %s\n", ok ? "put sample items into" : "could not make every sample item in",
                folder.c_str());
    return ok ? 0 : 1;
}
