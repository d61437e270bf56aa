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

// The product's title, as message boxes of both deliverables show it.
extern const char* const kApplicationTitle;  // "3D Vexlor"

// The longest module file name the system can hand out (its longest path, in characters).
constexpr unsigned long kModuleNameLimit = 32768;

// The rules behind the two, for a given profile folder and module file name.
std::string DataFolderFromProfile(const std::string& profileFolder);
std::string FolderOfModuleFile(const std::string& moduleFileName);
// GetAppPath's work for any module and limit (GetAppPath: its own module, kModuleNameLimit): the folder
// of the module's file, read into a buffer that grows from MAX_PATH up to |bufferLimit| characters while
// the name is cut; "" when the name can't be read or still fills a buffer of the limit (a cut name is a
// wrong one).
std::string FolderOfModule(void* module, unsigned long bufferLimit);

// The two sources the folders are read from, and the only ones. The profile folder (by default the
// shell's CSIDL_PROFILE into a buffer of 260 characters; false when it is unknown) and a module's file
// name (by default GetModuleFileNameA: the characters written, 0 on failure, the buffer size when the name
// was cut).
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
