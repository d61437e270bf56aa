// A registry key: open with or without create, typed reads that tell "missing" from "wrong type",
// typed writes that raise on failure, and a delete that tolerates a missing value.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace comp {

enum class RegRead { Ok, Missing, WrongType };

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(RegistryKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens |path| below |root|; with |create| the key and its parents are made when missing.
    bool Open(HKEY root, const std::string& path, bool create, REGSAM access = KEY_READ | KEY_WRITE);
    void Close();
    bool IsOpen() const { return key_ != nullptr; }
    HKEY Handle() const { return key_; }

    // Text from REG_SZ or REG_EXPAND_SZ (not expanded).
    RegRead ReadString(const std::string& name, std::string& value) const;
    // A REG_DWORD.
    RegRead ReadInteger(const std::string& name, int32_t& value) const;
    bool ValueExists(const std::string& name) const;

    // Raise ERegistryException("Failed to set data for '<name>'") when the write fails.
    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, int32_t value);
    void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

    // Deletes a value; a value that is not there is no error. False only on another failure.
    bool DeleteValue(const std::string& name);

private:
    HKEY key_ = nullptr;
};

// Removes a key with everything below it; a missing key is no error. False when something stays.
bool DeleteKeyTree(HKEY root, const std::string& path);

}  // namespace comp
