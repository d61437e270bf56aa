// Path helpers.
#include "paths.h"

#include <windows.h>

namespace comp {

static std::string::size_type LastDelimiter(const std::string& s) { return s.find_last_of("\\:"); }

std::string ExtractFilePath(const std::string& fileName) {
    auto i = LastDelimiter(fileName);
    return i == std::string::npos ? std::string() : fileName.substr(0, i + 1);
}

std::string ExtractFileDir(const std::string& fileName) {
    auto i = LastDelimiter(fileName);
    if (i == std::string::npos) return {};
    // Keep the separator of a drive root ("C:\") and of a bare drive ("C:").
    if (i > 0 && fileName[i] == '\\' && fileName[i - 1] != ':' && fileName[i - 1] != '\\') return fileName.substr(0, i);
    return fileName.substr(0, i + 1);
}

std::string ExtractFileName(const std::string& fileName) {
    auto i = LastDelimiter(fileName);
    return i == std::string::npos ? fileName : fileName.substr(i + 1);
}

std::string ExtractFileExt(const std::string& fileName) {
    auto i = fileName.find_last_of(".\\:");
    if (i == std::string::npos || fileName[i] != '.') return {};
    return fileName.substr(i);
}

std::string IncludeTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path;
    return path + "\\";
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return IncludeTrailingBackslash(folder) + name;
}

std::string ExcludeTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
    return path;
}

bool FileExists(const std::string& fileName) {
    DWORD a = GetFileAttributesA(fileName.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const std::string& path) {
    std::string dir = ExcludeTrailingBackslash(path);
    if (dir.empty()) return false;
    if (DirectoryExists(dir)) return true;
    std::string parent = ExtractFileDir(dir);
    if (!parent.empty() && parent != dir && !ForceDirectories(parent)) return false;
    return CreateDirectoryA(dir.c_str(), nullptr) || DirectoryExists(dir);
}

}  // namespace comp
