// One search of a folder: the entries that match a pattern, one at a time, "." and ".." left out. The
// search is closed on every path out of the object's scope, however the caller's loop ends.
#pragma once

#include <windows.h>

#include <string>

#include "components/handles.h"

namespace comp {

class FolderSearch {
public:
    // Starts the search for |pattern| ("C:\folder\*.*"); Found() tells whether it found a first entry.
    explicit FolderSearch(const std::string& pattern);

    bool Found() const { return found_; }
    const WIN32_FIND_DATAA& Entry() const { return entry_; }
    std::string Name() const { return entry_.cFileName; }
    bool IsFolder() const { return (entry_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // Moves to the next entry; Found() turns false at the end or when the listing fails.
    void Next();
    // Why the search ended: 0 when it ran to its end (nothing matched counts as an end), else the system
    // error that broke it off (a folder that is missing or can't be read).
    DWORD Error() const { return error_; }

private:
    void SkipDots();
    void Ended(DWORD error);

    FindHandle search_;
    WIN32_FIND_DATAA entry_{};
    bool found_ = false;
    DWORD error_ = 0;
};

}  // namespace comp
