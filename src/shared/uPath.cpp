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

std::string GetAppDataPath() {
    MMBuffer buffer(MAX_PATH);
    buffer.Data()[0] = '\0';
    if (!SHGetSpecialFolderPathA(nullptr, buffer.Data(), CSIDL_PROFILE, TRUE)) return {};
    return DataFolderFromProfile(buffer.Data());
}

std::string GetAppPath() {
    MMBuffer buffer(MAX_PATH);
    DWORD n = GetModuleFileNameA(comp::ModuleInstance(), buffer.Data(), MAX_PATH);
    // A name cut at the buffer size is a wrong name: no folder rather than a wrong one.
    if (n == 0 || n >= MAX_PATH) return {};
    return FolderOfModuleFile(std::string(buffer.Data(), n));
}

std::string AppDataPath;
std::string AppDirPath;

namespace {
struct PathUnit {
    PathUnit() {
        AppDataPath = GetAppDataPath();
        AppDirPath = GetAppPath();
    }
    ~PathUnit() { AppDataPath.clear(); }
} pathUnit;
}  // namespace
