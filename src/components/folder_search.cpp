// One search of a folder by FindFirstFileA and FindNextFileA.
#include "components/folder_search.h"

namespace comp {

namespace {

bool IsDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

FolderSearch::FolderSearch(const std::string& pattern) {
    search_.Reset(FindFirstFileA(pattern.c_str(), &entry_));
    if (!search_) {
        Ended(GetLastError());
        return;
    }
    found_ = true;
    SkipDots();
}

void FolderSearch::Next() {
    if (!found_) return;
    if (!FindNextFileA(search_.Get(), &entry_)) {
        Ended(GetLastError());
        return;
    }
    SkipDots();
}

void FolderSearch::SkipDots() {
    while (found_ && IsDotEntry(entry_.cFileName)) {
        if (!FindNextFileA(search_.Get(), &entry_)) Ended(GetLastError());
    }
}

void FolderSearch::Ended(DWORD error) {
    found_ = false;
    error_ = (error == ERROR_NO_MORE_FILES || error == ERROR_FILE_NOT_FOUND) ? 0 : error;
    search_.Reset();
}

}  // namespace comp
