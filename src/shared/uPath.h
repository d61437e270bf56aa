// The per-user data folder and the application folder, held for the life of the process.
#pragma once

#include <string>

// Data folder: profile folder + "\Application Data\Pellomar\3D Vexlor\" (always ends with "\"; "" when the
// profile folder cannot be found).
extern std::string AppDataPath;
// Application folder: the folder of this module's file, without a trailing "\" (a drive root keeps it).
extern std::string AppDirPath;

std::string GetAppDataPath();
std::string GetAppPath();

// The rules behind the two, for a given profile folder and module file name.
std::string DataFolderFromProfile(const std::string& profileFolder);
std::string FolderOfModuleFile(const std::string& moduleFileName);
