// Cabinet entry names: whether a name stored in a cabinet may be extracted, and where it then goes.
#pragma once

#include <windows.h>

#include <string>

// Whether a file name stored in a cabinet stays inside the folder it is extracted to: a relative path of
// non-empty parts ("\" and "/" both separate them), none of them made only of dots and blanks, without a
// drive, a stream or a server.
bool IsSafeCabinetEntryName(const std::string& name);

// Why the destination |path| of a cabinet entry can't be made inside |base| (a full path ending with "\"):
// 0 when it lies strictly inside once made a full path, else the system's error. A device name or a ".."
// that the syntax check missed ends up elsewhere (an invalid name); a path that can't be made full, or is
// too long for the file calls, is refused with the system's reason.
DWORD EntryDestinationError(const std::string& path, const std::string& base);

// The full path of a name, or "" when it can't be made.
std::string FullPathName(const std::string& name);

// A stored name with "/" separators turned into "\".
std::string WithBackslashes(std::string name);
