// A start without the data or the application folder: each of the two folder sources made to fail, and
// what the user is told then.
#pragma once

#include <cstring>
#include <string>

#include "shared/uPath.h"

namespace testing_support {

struct MissingFolderCase {
    const char* source;  // "profile": the profile folder is unknown; "module": the module's name doesn't fit
    const char* text;    // the message shown
};
inline const MissingFolderCase kMissingFolderCases[] = {
    {"profile", "3D Vexlor can't find its data folder."},
    {"module", "3D Vexlor can't find its application folder."},
};

// Makes the named source fail and finds the folders again, as the module does when it loads.
inline void FailFolderSource(const std::string& source) {
    if (source == "profile") {
        ProfileFolderRead = [](char*) { return false; };
    } else {
        ModuleFileNameRead = [](void*, char* buffer, unsigned long size) -> unsigned long {
            std::memset(buffer, 'x', size);
            return size;
        };
    }
    FindFolders();
}

}  // namespace testing_support
