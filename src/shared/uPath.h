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
// GetAppPath's work for any module and buffer size (GetAppPath: its own module, 260): the folder of the
// module's file, or "" when the name can't be read or fills the whole buffer (a cut name is a wrong one).
std::string FolderOfModule(void* module, unsigned long bufferSize);
