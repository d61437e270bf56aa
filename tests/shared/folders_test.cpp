// Data and application folders.
#include "components/module.h"
#include "fixtures.h"
#include "shared/uPath.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

TEST(Folders, DataFolderIsProfilePlusFixedParts) {
    EXPECT_EQ(DataFolderFromProfile("C:\\Users\\ann"), "C:\\Users\\ann\\Application Data\\Pellomar\\3D Vexlor\\");

    char profile[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, profile, CSIDL_PROFILE, FALSE));
    EXPECT_EQ(GetAppDataPath(), std::string(profile) + "\\Application Data\\Pellomar\\3D Vexlor\\");
    EXPECT_EQ(AppDataPath, GetAppDataPath());
}

TEST(Folders, ModuleFolderRules) {
    EXPECT_EQ(FolderOfModuleFile("C:\\Apps\\Cube\\_3DVexlor.exe"), "C:\\Apps\\Cube");
    EXPECT_EQ(FolderOfModuleFile("C:\\_3DVexlor.exe"), "C:\\");
    EXPECT_EQ(FolderOfModuleFile("\\\\server\\share\\x.exe"), "\\\\server\\share");
    EXPECT_EQ(FolderOfModuleFile("x.exe"), "");
}

TEST(Folders, ExecutableSeesItsOwnFolder) {
    EXPECT_EQ(GetAppPath(), testing_support::ExeFolder());
    // GetAppPath's own work with smaller buffers: a name cut at the buffer size is no name at all.
    std::string full = comp::ModuleFileName(nullptr);
    ASSERT_FALSE(full.empty());
    EXPECT_EQ(FolderOfModule(nullptr, static_cast<unsigned long>(full.size())), "");
    EXPECT_EQ(FolderOfModule(nullptr, static_cast<unsigned long>(full.size() + 1)), testing_support::ExeFolder());
}

TEST(Folders, LibrarySeesItsOwnFolderNotTheHosts) {
    std::string probeFolder = testing_support::ExeFolder() + "\\probe";
    HMODULE probe = LoadLibraryA((probeFolder + "\\path_probe.dll").c_str());
    ASSERT_NE(probe, nullptr);
    using Probe = int (*)(char*, int);
    auto appPath = reinterpret_cast<Probe>(GetProcAddress(probe, "ProbeAppPath"));
    auto appDirPath = reinterpret_cast<Probe>(GetProcAddress(probe, "ProbeAppDirPath"));
    ASSERT_TRUE(appPath && appDirPath);
    char buffer[MAX_PATH];
    ASSERT_GT(appPath(buffer, sizeof buffer), 0);
    EXPECT_STRCASEEQ(buffer, probeFolder.c_str());
    ASSERT_GT(appDirPath(buffer, sizeof buffer), 0);
    EXPECT_STRCASEEQ(buffer, probeFolder.c_str());
    FreeLibrary(probe);
}

TEST(Folders, ALibraryWhoseNameIsLongerThanMaxPathSeesItsFolder) {
    // A folder deep enough that the program's name in it would still fit MAX_PATH, the library's not.
    testing_support::ScratchFolder scratch;
    const std::string top = scratch.Dir();
    std::wstring deep(top.begin(), top.end());
    std::vector<std::wstring> made;
    while (deep.size() < 240) {
        deep += L"\\" + std::wstring(std::min<size_t>(60, 240 - deep.size()), L'd');
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
        made.push_back(deep);
    }
    ASSERT_LT(deep.size() + std::string("\\_3DVexlor.exe").size(), size_t(MAX_PATH));
    const std::wstring library = deep + L"\\_3DVexlorFormsProbeLibrary.dll";
    ASSERT_GT(library.size(), size_t(MAX_PATH));
    const std::string probe = testing_support::ExeFolder() + "\\probe\\path_probe.dll";
    ASSERT_TRUE(CopyFileW(std::wstring(probe.begin(), probe.end()).c_str(), library.c_str(), FALSE));
    std::string inner, held;
    if (HMODULE module = LoadLibraryW(library.c_str())) {
        using Probe = int (*)(char*, int);
        auto appPath = reinterpret_cast<Probe>(GetProcAddress(module, "ProbeAppPath"));
        auto appDirPath = reinterpret_cast<Probe>(GetProcAddress(module, "ProbeAppDirPath"));
        char buffer[1024];
        if (appPath && appPath(buffer, sizeof buffer) >= 0) inner = buffer;
        if (appDirPath && appDirPath(buffer, sizeof buffer) >= 0) held = buffer;
        FreeLibrary(module);
    } else {
        ADD_FAILURE() << "the library in the deep folder did not load: " << GetLastError();
    }
    DeleteFileW(library.c_str());
    for (auto folder = made.rbegin(); folder != made.rend(); ++folder) RemoveDirectoryW(folder->c_str());
    const std::string folder(deep.begin(), deep.end());
    EXPECT_STRCASEEQ(folder.c_str(), inner.c_str());
    EXPECT_STRCASEEQ(folder.c_str(), held.c_str());
}
