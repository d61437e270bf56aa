// Data and application folders.
#include "components/module.h"
#include "fixtures.h"
#include "shared/uPath.h"

#include <gtest/gtest.h>
#include <shlobj.h>

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
