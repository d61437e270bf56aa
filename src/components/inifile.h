// An INI file read and written through the platform on every call: nothing is cached, so two
// processes can share one file.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace comp {

// One "key=value" line of a section, in file order.
using IniValues = std::vector<std::pair<std::string, std::string>>;

class IniFile {
public:
    explicit IniFile(std::string fileName) : fileName_(std::move(fileName)) {}
    const std::string& FileName() const { return fileName_; }

    std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;
    // Decimal, or hexadecimal after "$" or "0x"; a missing, empty or unreadable value gives |fallback|.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const;
    // Every line of the section in one read, values as ReadString gives them (blanks around them and
    // one pair of surrounding double quotes removed); empty when the section is missing.
    IniValues ReadSection(const std::string& section) const;

    // Raise EOSError when the platform cannot write. A value the platform would read back changed
    // (blanks at either end, or surrounding double quotes) is written in double quotes.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);
    // Replaces the whole section with |values| in one write (keys must not hold "=").
    void WriteSection(const std::string& section, const IniValues& values);
    // Removes the section with its keys; a missing section or file is no failure.
    void EraseSection(const std::string& section);
    // Writes what the platform may still hold in memory to the file.
    void UpdateFile();

private:
    std::string fileName_;
};

// The text the platform must be given so that a read gives |value| back.
std::string ProfileValueText(const std::string& value);

}  // namespace comp
