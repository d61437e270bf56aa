// Registry sandbox and scratch folders.
#include "fixtures.h"

#include <gtest/gtest.h>

#include <sddl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace testing_support {

static LONG counter = 0;

static std::string UniqueName(const char* prefix) {
    char name[96];
    std::snprintf(name, sizeof name, "%s%lu_%ld", prefix, GetCurrentProcessId(), InterlockedIncrement(&counter));
    return name;
}

RegistrySandbox::RegistrySandbox() : path_("Software\\VexlorTests\\" + UniqueName("r")) {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot create the sandbox key");
    RegOverridePredefKey(HKEY_CURRENT_USER, key_);
}

RegistrySandbox::~RegistrySandbox() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(key_);
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
}

ScratchFolder::ScratchFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + UniqueName("vexlor_") + "\\";
    CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

void RemoveTree(const std::string& folder) {
    std::string base = folder;
    if (!base.empty() && base.back() != '\\') base += '\\';
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((base + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = base + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
            else DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(base.c_str());
}

std::string ReadWholeFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

KeyAccessRules::KeyAccessRules(HKEY root, std::string path, const char* sddl) : root_(root), path_(std::move(path)) {
    Apply(sddl);
}

KeyAccessRules::~KeyAccessRules() { Apply("D:(A;;KA;;;WD)"); }

void KeyAccessRules::Apply(const char* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    HKEY key = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(root_, path_.c_str(), 0, WRITE_DAC, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd));
    RegCloseKey(key);
    LocalFree(sd);
}

void WriteWholeFile(const std::string& fileName, const std::string& content) {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string DeepFileName(const std::string& folder, size_t length, const std::string& extension) {
    std::string deep = folder;
    const size_t folders = length - 26;
    while (deep.size() < folders) {
        deep += "\\" + std::string(std::min<size_t>(60, folders - deep.size()), 'd');
        CreateDirectoryA(deep.c_str(), nullptr);
    }
    std::string name = deep + "\\";
    return name + std::string(length - name.size() - extension.size(), 'n') + extension;
}

std::string ExeFolder() {
    char name[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, name, MAX_PATH);
    std::string s(name, n);
    return s.substr(0, s.find_last_of('\\'));
}

int ProcessThreadCount() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int n = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++n;
    CloseHandle(snapshot);
    return n;
}

std::string RegText(const char* path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    LONG rc = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::string(buffer) : "<no value>";
}

void RegisterActiveDesktopStandIn() {
    HMODULE stand = LoadLibraryA((ExeFolder() + "\\vexlor_activedesktop.dll").c_str());
    ASSERT_NE(nullptr, stand);
    auto reg = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(stand, "DllRegisterServer"));
    ASSERT_NE(nullptr, reg);
    ASSERT_EQ(S_OK, reg());
}

}  // namespace testing_support
