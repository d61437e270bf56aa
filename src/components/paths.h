// File-name and folder helpers for backslash-separated Windows paths.
#pragma once

#include <string>

namespace comp {

// Folder part without the trailing "\" (a drive root keeps its "\"): "C:\a\b.exe" -> "C:\a", "C:\b.exe" -> "C:\".
std::string ExtractFileDir(const std::string& fileName);
// Folder part with its trailing "\": "C:\a\b.exe" -> "C:\a\".
std::string ExtractFilePath(const std::string& fileName);
// Name without the folder: "C:\a\b.exe" -> "b.exe".
std::string ExtractFileName(const std::string& fileName);
// Extension with its dot, or "": "b.JPG" -> ".JPG".
std::string ExtractFileExt(const std::string& fileName);
std::string IncludeTrailingBackslash(const std::string& path);
// A name inside a folder, with exactly one "\" between them whether or not the folder ends with one:
// "C:\a\" + "b.txt" and "C:\a" + "b.txt" -> "C:\a\b.txt". An empty folder leaves the name alone.
std::string JoinPath(const std::string& folder, const std::string& name);
std::string ExcludeTrailingBackslash(const std::string& path);

bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& path);
// Creates a folder with every missing parent; true when it exists afterwards.
bool ForceDirectories(const std::string& path);

}  // namespace comp
