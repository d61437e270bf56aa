// Test library: the application folder as seen from inside a DLL.
#include "shared/uPath.h"

#include <cstring>

extern "C" __declspec(dllexport) int ProbeAppPath(char* buffer, int size) {
    std::string folder = GetAppPath();
    if (size <= 0 || static_cast<int>(folder.size()) >= size) return -1;
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return static_cast<int>(folder.size());
}

extern "C" __declspec(dllexport) int ProbeAppDirPath(char* buffer, int size) {
    if (size <= 0 || static_cast<int>(AppDirPath.size()) >= size) return -1;
    std::memcpy(buffer, AppDirPath.c_str(), AppDirPath.size() + 1);
    return static_cast<int>(AppDirPath.size());
}
