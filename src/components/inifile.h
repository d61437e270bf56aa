// An INI file read and written through the platform on every call: nothing is cached, so two
// processes can share one file.
#pragma once

#include <cstdint>
#include <string>

namespace comp {

class IniFile {
public:
    explicit IniFile(std::string fileName) : fileName_(std::move(fileName)) {}
    const std::string& FileName() const { return fileName_; }

    std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;
    // Decimal, or hexadecimal after "$" or "0x"; a missing, empty or unreadable value gives |fallback|.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const;

    // Raise EIniFileException when the platform cannot write.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);

private:
    std::string fileName_;
};

}  // namespace comp
