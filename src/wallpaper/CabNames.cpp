// Cabinet entry names: the syntax check and the check of where a name lands.
#include "wallpaper/CabNames.h"

bool IsSafeCabinetEntryName(const std::string& name) {
    if (name.empty() || name.find(':') != std::string::npos) return false;
    size_t start = 0;
    while (start <= name.size()) {
        const size_t end = name.find_first_of("\\/", start);
        const std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // Windows drops trailing dots and blanks: "..", ". ." and "..." all climb or vanish.
        if (part.find_first_not_of(". ") == std::string::npos) return false;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return true;
}

DWORD EntryDestinationError(const std::string& path, const std::string& base) {
    SetLastError(NO_ERROR);
    const std::string full = FullPathName(path);
    if (full.empty()) {
        const DWORD error = GetLastError();
        return error != NO_ERROR ? error : static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE);
    }
    if (full.size() >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
    const bool inside = base.size() > 1 && full.size() > base.size() && full.compare(0, base.size(), base) == 0;
    return inside ? 0 : static_cast<DWORD>(ERROR_INVALID_NAME);
}

std::string FullPathName(const std::string& name) {
    char small[MAX_PATH];
    const DWORD first = GetFullPathNameA(name.c_str(), MAX_PATH, small, nullptr);
    if (first == 0) return {};
    if (first < MAX_PATH) return std::string(small, first);
    std::string buffer(first, '\0');
    const DWORD length = GetFullPathNameA(name.c_str(), first, &buffer[0], nullptr);
    if (length == 0 || length >= first) return {};
    buffer.resize(length);
    return buffer;
}

std::string WithBackslashes(std::string name) {
    for (char& c : name)
        if (c == '/') c = '\\';
    return name;
}
