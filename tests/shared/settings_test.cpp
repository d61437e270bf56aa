// Settings record: defaults, loading order, saving and the start-with-Windows entry.
#include "components/exceptions.h"
#include "components/registry.h"
#include "fixtures.h"
#include "shared/uOptionsShared.h"
#include "shared/uPath.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

class SettingsTest : public testing::Test {
protected:
    void SetUp() override {
        savedAppDir_ = AppDirPath;
        savedOpen_ = OpenSettingsForSave;
    }
    void TearDown() override {
        AppDirPath = savedAppDir_;
        OpenSettingsForSave = savedOpen_;
    }

    static comp::RegistryKey Key(const char* path) {
        comp::RegistryKey key;
        EXPECT_TRUE(key.Open(HKEY_CURRENT_USER, path, true));
        return key;
    }
    static int32_t Dword(const char* path, const char* name) {
        int32_t v = -12345;
        EXPECT_EQ(Key(path).ReadInteger(name, v), comp::RegRead::Ok) << name;
        return v;
    }
    static bool RunValue(std::string& value) {
        return Key(kRunKey).ReadString(kRunValue, value) == comp::RegRead::Ok;
    }
    // A complete Settings key with values unlike the defaults.
    static void WriteCustomSettings() {
        auto key = Key(kSettingsKey);
        key.WriteInteger("use_3d_wallpaper", 0);
        key.WriteString("wallpaper", "D:\\pkg\\moon.3dv");
        key.WriteInteger("ctrl_key", 1);
        key.WriteInteger("which_key", 0);
        key.WriteInteger("key_inside", 0x2041);
        key.WriteInteger("key_hide", 0x2042);
        key.WriteInteger("hide_shotcuts", 1);
        key.WriteInteger("d3d_qw", 1);
        key.WriteInteger("FPSLimit", 1);
        key.WriteInteger("FPS", 60);
        key.WriteInteger("ShowFPS", 0);
        key.WriteInteger("ShowFPSPlace", 3);
        key.WriteInteger("StartUP", 0);
        key.WriteInteger("Tips", 0);
    }

    testing_support::RegistrySandbox sandbox_;
    std::string savedAppDir_;
    bool (*savedOpen_)(comp::RegistryKey&) = nullptr;
};

void ExpectDefaults() {
    EXPECT_TRUE(Settings.use_3d_wallpaper);
    EXPECT_EQ(Settings.wallpaper, GetAppPath() + "\\space.3dv");
    EXPECT_EQ(Settings.ctrl_key, 0);
    EXPECT_EQ(Settings.which_key, 2);
    EXPECT_EQ(Settings.key_inside, 0x4049);
    EXPECT_EQ(Settings.key_hide, 0x4048);
    EXPECT_FALSE(Settings.hide_shotcuts);
    EXPECT_EQ(Settings.d3d_qw, 2);
    EXPECT_FALSE(Settings.FPSLimit);
    EXPECT_EQ(Settings.FPS, 30);
    EXPECT_TRUE(Settings.ShowFPS);
    EXPECT_EQ(Settings.ShowFPSPlace, 1);
    EXPECT_TRUE(Settings.StartUP);
    EXPECT_TRUE(Settings.Tips);
}

// Every field holds what WriteCustomSettings stored, but |except|, which holds its default.
void ExpectStoredBut(const std::string& except) {
    auto pick = [&](const char* name, auto stored, auto byDefault) { return except == name ? byDefault : stored; };
    EXPECT_EQ(Settings.use_3d_wallpaper, pick("use_3d_wallpaper", false, true));
    EXPECT_EQ(Settings.wallpaper, pick("wallpaper", std::string("D:\\pkg\\moon.3dv"), GetAppPath() + "\\space.3dv"));
    EXPECT_EQ(Settings.ctrl_key, pick("ctrl_key", 1, 0));
    EXPECT_EQ(Settings.which_key, pick("which_key", 0, 2));
    EXPECT_EQ(Settings.key_inside, pick("key_inside", 0x2041, 0x4049));
    EXPECT_EQ(Settings.key_hide, pick("key_hide", 0x2042, 0x4048));
    EXPECT_EQ(Settings.hide_shotcuts, pick("hide_shotcuts", true, false));
    EXPECT_EQ(Settings.d3d_qw, pick("d3d_qw", 1, 2));
    EXPECT_EQ(Settings.FPSLimit, pick("FPSLimit", true, false));
    EXPECT_EQ(Settings.FPS, pick("FPS", 60, 30));
    EXPECT_EQ(Settings.ShowFPS, pick("ShowFPS", false, true));
    EXPECT_EQ(Settings.ShowFPSPlace, pick("ShowFPSPlace", 3, 1));
    EXPECT_EQ(Settings.StartUP, pick("StartUP", false, true));
    EXPECT_EQ(Settings.Tips, pick("Tips", false, true));
}

TEST_F(SettingsTest, FirstStartWritesDefaultsAndRunValue) {
    Settings.LastWallPaper = "stale";
    Settings.wallpaper_param = 77;
    LoadSettings();
    EXPECT_EQ(Settings.LastWallPaper, "");
    EXPECT_EQ(Settings.wallpaper_param, 0);
    ExpectDefaults();

    EXPECT_EQ(Dword(kSettingsKey, "use_3d_wallpaper"), 1);
    EXPECT_EQ(Dword(kSettingsKey, "key_inside"), 16457);
    EXPECT_EQ(Dword(kSettingsKey, "key_hide"), 16456);
    EXPECT_EQ(Dword(kSettingsKey, "FPS"), 30);
    EXPECT_EQ(Dword(kSettingsKey, "Tips"), 1);
    std::string wallpaper;
    EXPECT_EQ(Key(kSettingsKey).ReadString("wallpaper", wallpaper), comp::RegRead::Ok);
    EXPECT_EQ(wallpaper, GetAppPath() + "\\space.3dv");
    std::string run;
    ASSERT_TRUE(RunValue(run));
    EXPECT_EQ(run, RunCommandFor(AppDirPath));
    // Nothing else is written: the shared values belong to the control program.
    EXPECT_FALSE(Key(kProductKey).ValueExists("LastWallPaper"));
    EXPECT_FALSE(Key(kProductKey).ValueExists("AppPath"));
}

void FailingSave() { throw comp::ERegistryException("Failed to set data for 'use_3d_wallpaper'"); }

TEST_F(SettingsTest, AFailingFirstStartSaveStillLeavesTheDefaults) {
    FirstStartSave = &FailingSave;
    bool raised = false;
    try {
        LoadSettings();
    } catch (...) {
        raised = true;
    }
    FirstStartSave = &SaveSettings;
    EXPECT_FALSE(raised);
    ExpectDefaults();
}

TEST_F(SettingsTest, AMissingValueKeepsItsDefaultAndTheOthersAreRead) {
    WriteCustomSettings();
    LoadSettings();
    ExpectStoredBut("");

    Key(kSettingsKey).DeleteValue("key_inside");
    LoadSettings();
    ExpectStoredBut("key_inside");

    // A record without ShowFPSPlace (older, or edited by hand): the user's "no" to starting with Windows
    // and to the tips holds, and the next save keeps it.
    WriteCustomSettings();
    Key(kSettingsKey).DeleteValue("ShowFPSPlace");
    AppDirPath = "C:\\Apps\\Cube";
    LoadSettings();
    ExpectStoredBut("ShowFPSPlace");
    SaveSettings();
    EXPECT_EQ(Dword(kSettingsKey, "StartUP"), 0);
    EXPECT_EQ(Dword(kSettingsKey, "Tips"), 0);
    std::string run;
    EXPECT_FALSE(RunValue(run));
}

TEST_F(SettingsTest, AValueOfAnotherTypeKeepsItsDefaultAndTheOthersAreRead) {
    WriteCustomSettings();
    Key(kSettingsKey).WriteString("FPS", "60");
    LoadSettings();
    ExpectStoredBut("FPS");

    // The text value, missing or of another type, keeps its default alike.
    WriteCustomSettings();
    Key(kSettingsKey).DeleteValue("wallpaper");
    LoadSettings();
    ExpectStoredBut("wallpaper");
    Key(kSettingsKey).WriteInteger("wallpaper", 5);
    LoadSettings();
    ExpectStoredBut("wallpaper");
}

TEST_F(SettingsTest, BooleansAndLongTexts) {
    WriteCustomSettings();
    Key(kSettingsKey).WriteInteger("hide_shotcuts", 7);
    Key(kSettingsKey).WriteString("wallpaper", std::string(300, 'w'));
    LoadSettings();
    EXPECT_TRUE(Settings.hide_shotcuts);
    EXPECT_EQ(Settings.wallpaper, std::string(255, 'w'));
    SaveSettings();
    EXPECT_EQ(Dword(kSettingsKey, "hide_shotcuts"), 1);
}

TEST_F(SettingsTest, ProductValues) {
    Key(kProductKey).WriteString("LastWallPaper", "C:\\old.bmp");
    LoadSettings();
    EXPECT_EQ(Settings.LastWallPaper, "C:\\old.bmp");
    EXPECT_EQ(AppDirPath, GetAppPath()) << "no AppPath value: the module's folder stays";

    comp::RegistryKey product = Key(kProductKey);
    product.DeleteValue("LastWallPaper");
    product.WriteString("AppPath", "C:\\Apps\\Cube");
    LoadSettings();
    EXPECT_EQ(Settings.LastWallPaper, "");
    EXPECT_EQ(AppDirPath, "C:\\Apps\\Cube");
    // The default package still names the module's own folder.
    Key(kSettingsKey).DeleteValue("wallpaper");
    LoadSettings();
    EXPECT_EQ(Settings.wallpaper, GetAppPath() + "\\space.3dv");

    // A LastWallPaper of another type leaves the field empty; AppPath is read all the same.
    AppDirPath = "unchanged";
    product.WriteInteger("LastWallPaper", 3);
    LoadSettings();
    EXPECT_EQ(Settings.LastWallPaper, "");
    EXPECT_EQ(AppDirPath, "C:\\Apps\\Cube");

    // An empty AppPath names no folder: the one held stays.
    AppDirPath = "unchanged";
    product.WriteString("AppPath", "");
    LoadSettings();
    EXPECT_EQ(AppDirPath, "unchanged");
}

TEST_F(SettingsTest, StartWithWindowsEntry) {
    LoadSettings();
    AppDirPath = "C:\\Apps\\Cube";
    SaveSettings();
    std::string run;
    ASSERT_TRUE(RunValue(run));
    EXPECT_EQ(run, "C:\\Apps\\Cube\\_3DVexlor.exe");

    AppDirPath = "C:\\Program Files\\3D Vexlor";
    SaveSettings();
    ASSERT_TRUE(RunValue(run));
    EXPECT_EQ(run, "\"C:\\Program Files\\3D Vexlor\\_3DVexlor.exe\"");

    // Without an application folder the entry names no program: the one there stays.
    AppDirPath = "";
    SaveSettings();
    ASSERT_TRUE(RunValue(run));
    EXPECT_EQ(run, "\"C:\\Program Files\\3D Vexlor\\_3DVexlor.exe\"");

    Settings.StartUP = false;
    EXPECT_NO_THROW(SaveSettings());
    EXPECT_FALSE(RunValue(run));
    EXPECT_NO_THROW(SaveSettings());
    EXPECT_EQ(Dword(kSettingsKey, "StartUP"), 0);
}

TEST_F(SettingsTest, AValueThatCannotBeWrittenRaisesToTheCallerAndEndsTheSave) {
    SetDefaultSettings();  // StartUP: the Run value would follow the fourteen values
    AppDirPath = "C:\\Apps\\Cube";
    OpenSettingsForSave = [](comp::RegistryKey& key) {
        return key.Open(HKEY_CURRENT_USER, kSettingsKey, true, KEY_READ);  // refuses every value
    };
    std::string raised = "(nothing raised)";
    try {
        SaveSettings();
    } catch (const comp::ERegistryException& e) {
        raised = e.what();
    }
    EXPECT_EQ(raised, "Failed to set data for 'use_3d_wallpaper'");
    std::string run;
    EXPECT_FALSE(RunValue(run));
}

TEST_F(SettingsTest, ASettingsKeyThatCannotBeOpenedMeansNothingIsWritten) {
    SetDefaultSettings();  // StartUP: a save that went on would write the Run value
    AppDirPath = "C:\\Apps\\Cube";
    Key(kSettingsKey);
    {
        // Opens for reading only.
        testing_support::KeyAccessRules noValues(HKEY_CURRENT_USER, kSettingsKey, "D:(D;;0x2;;;WD)(A;;KA;;;WD)");
        EXPECT_NO_THROW(SaveSettings());
    }
    std::string run;
    EXPECT_FALSE(RunValue(run));
}

}  // namespace
