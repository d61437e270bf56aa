// Finding the data and application folders.
#include "uPath.h"

#include "components/module.h"
#include "components/paths.h"
#include "uMM.h"

#include <windows.h>
#include <shlobj.h>

std::string DataFolderFromProfile(const std::string& profileFolder) {
    return profileFolder + "\\Application Data\\" + "Pellomar" + "\\" + "3D Vexlor" + "\\";
}

std::string FolderOfModuleFile(const std::string& moduleFileName) { return comp::ExtractFileDir(moduleFileName); }

static bool ShellProfileFolder(char* buffer) {
    return SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_PROFILE, TRUE) != FALSE;
}

static unsigned long SystemModuleFileName(void* module, char* buffer, unsigned long size) {
    return GetModuleFileNameA(static_cast<HMODULE>(module), buffer, size);
}

const char* const kApplicationTitle = "3D Vexlor";

TProfileFolderRead ProfileFolderRead = &ShellProfileFolder;
TModuleFileNameRead ModuleFileNameRead = &SystemModuleFileName;

std::string GetAppDataPath() {
    MMBuffer buffer(MAX_PATH);
    buffer.Data()[0] = '\0';
    if (!ProfileFolderRead(buffer.Data()) || buffer.Data()[0] == '\0') return {};
    return DataFolderFromProfile(buffer.Data());
}

std::string FolderOfModule(void* module, unsigned long bufferLimit) {
    // The name is read into a buffer of MAX_PATH first, then of twice the size while it is cut, up to
    // the limit: a library in a folder deep enough to hold its program has a longer name than the program.
    unsigned long size = bufferLimit < MAX_PATH ? bufferLimit : MAX_PATH;
    while (size > 0) {
        MMBuffer buffer(static_cast<int32_t>(size));
        unsigned long n = ModuleFileNameRead(module, buffer.Data(), size);
        if (n == 0) return {};
        if (n < size) return FolderOfModuleFile(std::string(buffer.Data(), n));
        // Cut at the buffer size: a wrong name, never taken for the folder.
        if (size >= bufferLimit) return {};
        size = size > bufferLimit / 2 ? bufferLimit : size * 2;
    }
    return {};
}

std::string GetAppPath() { return FolderOfModule(comp::ModuleInstance(), kModuleNameLimit); }

std::string AppDataPath;
std::string AppDirPath;

void FindFolders() {
    AppDataPath = GetAppDataPath();
    AppDirPath = GetAppPath();
}

std::string MissingFoldersText() {
    const bool noData = AppDataPath.empty(), noApp = AppDirPath.empty();
    const std::string title = kApplicationTitle;
    if (noData && noApp) return title + " can't find its data folder or its application folder.";
    if (noData) return title + " can't find its data folder.";
    if (noApp) return title + " can't find its application folder.";
    return {};
}

bool FoldersFound() {
    static bool told = false;
    const std::string missing = MissingFoldersText();
    if (missing.empty()) return true;
    if (!told) {
        told = true;
        MessageBoxA(nullptr, missing.c_str(), kApplicationTitle, MB_OK | MB_ICONERROR);
    }
    return false;
}

namespace {
struct PathUnit {
    PathUnit() { FindFolders(); }
    ~PathUnit() { AppDataPath.clear(); }
} pathUnit;
}  // namespace
