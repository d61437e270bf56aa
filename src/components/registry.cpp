// Registry key wrapper.
#include "registry.h"

#include "exceptions.h"

#include <vector>

namespace comp {

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        Close();
        key_ = other.key_;
        other.key_ = nullptr;
    }
    return *this;
}

bool RegistryKey::Open(HKEY root, const std::string& path, bool create, REGSAM access) {
    Close();
    LONG rc;
    if (create) {
        DWORD disposition = 0;
        rc = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key_,
                             &disposition);
    } else {
        rc = RegOpenKeyExA(root, path.c_str(), 0, access, &key_);
    }
    if (rc != ERROR_SUCCESS) key_ = nullptr;
    return key_ != nullptr;
}

void RegistryKey::Close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

RegRead RegistryKey::ReadString(const std::string& name, std::string& value) const {
    DWORD type = 0, size = 0;
    if (!key_ || RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return RegRead::Missing;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return RegRead::WrongType;
    std::vector<char> buffer(size + 1, '\0');
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return RegRead::Missing;
    value.assign(buffer.data());  // up to the first zero
    return RegRead::Ok;
}

RegRead RegistryKey::ReadInteger(const std::string& name, int32_t& value) const {
    DWORD type = 0, size = 0;
    if (!key_ || RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return RegRead::Missing;
    if (type != REG_DWORD || size != sizeof(DWORD)) return RegRead::WrongType;
    DWORD data = 0;
    size = sizeof data;
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS)
        return RegRead::Missing;
    value = static_cast<int32_t>(data);
    return RegRead::Ok;
}

bool RegistryKey::ValueExists(const std::string& name) const {
    return key_ && RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

static void RaiseSetDataFailed(const std::string& name) {
    throw ERegistryException("Failed to set data for '" + name + "'");
}

void RegistryKey::WriteString(const std::string& name, const std::string& value) {
    if (!key_ || RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        RaiseSetDataFailed(name);
}

void RegistryKey::WriteInteger(const std::string& name, int32_t value) {
    DWORD data = static_cast<DWORD>(value);
    if (!key_ || RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                sizeof data) != ERROR_SUCCESS)
        RaiseSetDataFailed(name);
}

bool RegistryKey::DeleteValue(const std::string& name) {
    if (!key_) return false;
    LONG rc = RegDeleteValueA(key_, name.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool DeleteKeyTree(HKEY root, const std::string& path) {
    LONG rc = RegDeleteTreeA(root, path.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return false;
    // The tree delete may leave the key itself: it goes now, or it is gone already.
    rc = RegDeleteKeyA(root, path.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

}  // namespace comp
