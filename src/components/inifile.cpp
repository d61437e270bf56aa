// INI file access through the private-profile functions.
#include "inifile.h"

#include "exceptions.h"
#include "strings.h"

#include <windows.h>

#include <vector>

namespace comp {

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
    std::vector<char> buffer(2048);
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer.data(),
                                       static_cast<DWORD>(buffer.size()), fileName_.c_str());
    return std::string(buffer.data(), n);
}

int32_t IniFile::ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const {
    return StrToIntDef(ReadString(section, key, ""), fallback);
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName_.c_str()))
        throw EOSError("Unable to write to " + fileName_, GetLastError());
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

}  // namespace comp
