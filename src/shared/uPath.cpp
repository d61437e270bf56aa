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

TProfileFolderRead ProfileFolderRead = &ShellProfileFolder;
TModuleFileNameRead ModuleFileNameRead = &SystemModuleFileName;

std::string GetAppDataPath() {
    MMBuffer buffer(MAX_PATH);
    buffer.Data()[0] = '\0';
    if (!ProfileFolderRead(buffer.Data()) || buffer.Data()[0] == '\0') return {};
    return DataFolderFromProfile(buffer.Data());
}

std::string FolderOfModule(void* module, unsigned long bufferSize) {
    if (bufferSize == 0) return {};
    MMBuffer buffer(static_cast<int32_t>(bufferSize));
    unsigned long n = ModuleFileNameRead(module, buffer.Data(), bufferSize);
    // A name cut at the buffer size is a wrong name: no folder rather than a wrong one.
    if (n == 0 || n >= bufferSize) return {};
    return FolderOfModuleFile(std::string(buffer.Data(), n));
}

std::string GetAppPath() { return FolderOfModule(comp::ModuleInstance(), MAX_PATH); }

std::string AppDataPath;
std::string AppDirPath;

void FindFolders() {
    AppDataPath = GetAppDataPath();
    AppDirPath = GetAppPath();
}

std::string MissingFoldersText() {
    const bool noData = AppDataPath.empty(), noApp = AppDirPath.empty();
    if (noData && noApp) return "3D Vexlor can't find its data folder or its application folder.";
    if (noData) return "3D Vexlor can't find its data folder.";
    if (noApp) return "3D Vexlor can't find its application folder.";
    return {};
}

bool FoldersFound() {
    static bool told = false;
    const std::string missing = MissingFoldersText();
    if (missing.empty()) return true;
    if (!told) {
        told = true;
        MessageBoxA(nullptr, missing.c_str(), "3D Vexlor", MB_OK | MB_ICONERROR);
    }
    return false;
}

namespace {
struct PathUnit {
    PathUnit() { FindFolders(); }
    ~PathUnit() { AppDataPath.clear(); }
} pathUnit;
}  // namespace
