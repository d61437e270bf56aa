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

// The two sources of the folders, replaceable so that a test can make them fail. The profile folder
// (the shell's CSIDL_PROFILE into a buffer of 260 characters; false when it is unknown) and a module's file
// name (GetModuleFileNameA: the characters written, 0 on failure, the buffer size when the name was cut).
using TProfileFolderRead = bool (*)(char* buffer);
extern TProfileFolderRead ProfileFolderRead;
using TModuleFileNameRead = unsigned long (*)(void* module, char* buffer, unsigned long size);
extern TModuleFileNameRead ModuleFileNameRead;

// Sets AppDataPath and AppDirPath from their sources: what the unit does when the module loads.
void FindFolders();

// What a deliverable tells the user when AppDataPath or AppDirPath is empty (which of them can't be
// found); "" when both are known.
std::string MissingFoldersText();
// True when both folders are known. Otherwise the user is told which one can't be found, in one message
// box per process however often this is asked, and the answer is false: neither deliverable starts then,
// since every file it reads or writes lies in one of the two.
bool FoldersFound();
