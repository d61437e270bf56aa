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

std::string FolderOfModule(void* module, unsigned long bufferSize) {
    if (bufferSize == 0) return {};
    MMBuffer buffer(static_cast<int32_t>(bufferSize));
    DWORD n = GetModuleFileNameA(static_cast<HMODULE>(module), buffer.Data(), bufferSize);
    // A name cut at the buffer size is a wrong name: no folder rather than a wrong one.
    if (n == 0 || n >= bufferSize) return {};
    return FolderOfModuleFile(std::string(buffer.Data(), n));
}

std::string GetAppPath() { return FolderOfModule(comp::ModuleInstance(), MAX_PATH); }

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
