// Test fixtures: a registry sandbox (HKEY_CURRENT_USER redirected to a scratch key) and a scratch folder.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// While alive, HKEY_CURRENT_USER of this process is a fresh, empty scratch key.
class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

private:
    std::string path_;
    HKEY key_ = nullptr;
};

// While alive, the registry key |path| under |root| carries the access rules given (SDDL); then everyone may
// do everything with it again.
class KeyAccessRules {
public:
    KeyAccessRules(HKEY root, std::string path, const char* sddl);
    ~KeyAccessRules();
    KeyAccessRules(const KeyAccessRules&) = delete;
    KeyAccessRules& operator=(const KeyAccessRules&) = delete;

private:
    void Apply(const char* sddl);
    HKEY root_;
    std::string path_;
};

// A fresh folder under the temporary folder, removed with all it holds at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, ending with "\".
    const std::string& Path() const { return path_; }
    // The folder without the final "\".
    std::string Dir() const { return path_.substr(0, path_.size() - 1); }

private:
    std::string path_;
};

void RemoveTree(const std::string& folder);
std::string ReadWholeFile(const std::string& fileName);
void WriteWholeFile(const std::string& fileName, const std::string& content);
// A file name of exactly |length| characters that ends with |extension| (of a few characters), in folders
// made below |folder| (given without the final "\", at least 30 characters shorter); the file is not made.
std::string DeepFileName(const std::string& folder, size_t length, const std::string& extension);

// The folder of the running test executable, without a trailing "\".
std::string ExeFolder();

// Registers the Active Desktop stand-in that lies beside the test binary for this prefix, as the layout
// step does (a failure fails the running test).
void RegisterActiveDesktopStandIn();

// The text value |name| of HKEY_CURRENT_USER\|path|, "<no key>" or "<no value>" when missing.
std::string RegText(const char* path, const char* name);

// How many threads this process runs now.
int ProcessThreadCount();

}  // namespace testing_support
