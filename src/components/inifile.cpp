// INI file access through the private-profile functions.
#include "inifile.h"

#include "exceptions.h"
#include "strings.h"

#include <windows.h>

#include <vector>

namespace comp {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trimmed(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// As the platform reads a value: one pair of surrounding double quotes goes.
std::string Unquoted(const std::string& s) {
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
    return s;
}

}  // namespace

std::string ProfileValueText(const std::string& value) {
    if (value.empty()) return value;
    const bool blankEnds = IsBlank(value.front()) || IsBlank(value.back());
    const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    return blankEnds || quoted ? "\"" + value + "\"" : value;
}

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

IniValues IniFile::ReadSection(const std::string& section) const {
    std::vector<char> buffer(32768);
    DWORD n = 0;
    for (;;) {
        n = GetPrivateProfileSectionA(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                      fileName_.c_str());
        // A full buffer answers its size less two: the section did not fit.
        if (n + 2 < buffer.size() || buffer.size() >= (1u << 30)) break;
        buffer.resize(buffer.size() * 4);
    }
    IniValues values;
    const char* p = buffer.data();
    const char* end = p + n;
    while (p < end && *p) {
        const std::string line(p);
        p += line.size() + 1;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        values.emplace_back(Trimmed(line.substr(0, eq)), Unquoted(Trimmed(line.substr(eq + 1))));
    }
    return values;
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), ProfileValueText(value).c_str(), fileName_.c_str()))
        throw EOSError("Unable to write to " + fileName_, GetLastError());
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteSection(const std::string& section, const IniValues& values) {
    std::string text;
    for (const auto& kv : values) {
        text += kv.first;
        text += '=';
        text += ProfileValueText(kv.second);
        text += '\0';
    }
    text += '\0';
    if (!WritePrivateProfileSectionA(section.c_str(), text.c_str(), fileName_.c_str()))
        throw EOSError("Unable to write to " + fileName_, GetLastError());
}

void IniFile::EraseSection(const std::string& section) {
    // A section that is not there (or a file that is not) is as good as erased.
    WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, fileName_.c_str());
}

void IniFile::UpdateFile() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName_.c_str()); }

}  // namespace comp
