// Settings: defaults, loading and saving.
#include "uOptionsShared.h"

#include "components/registry.h"
#include "uPath.h"

#include <windows.h>

TSettings Settings;

const char* const kProductKey = "Software\\Pellomar\\3D Vexlor";
const char* const kSettingsKey = "Software\\Pellomar\\3D Vexlor\\Settings";
const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kRunValue = "_3DVexlor";

static std::string Capped(const std::string& text) { return text.substr(0, kSettingsTextMax); }

void SetDefaultSettings() {
    Settings.use_3d_wallpaper = true;
    Settings.wallpaper = Capped(GetAppPath() + "\\space.3dv");
    Settings.ctrl_key = 0;
    Settings.which_key = 2;
    Settings.key_inside = 0x4049;  // Ctrl+I
    Settings.key_hide = 0x4048;    // Ctrl+H
    Settings.hide_shotcuts = false;
    Settings.d3d_qw = 2;
    Settings.FPSLimit = false;
    Settings.FPS = 30;
    Settings.ShowFPS = true;
    Settings.ShowFPSPlace = 1;
    Settings.StartUP = true;
    Settings.Tips = true;
}

namespace {

// Reads the settings values one by one: a value that is missing or of the wrong type keeps its
// field's default, and the others are read all the same (a record from an older version, or edited by
// hand, keeps what the user chose wherever it can be read).
class SettingsReader {
public:
    explicit SettingsReader(const comp::RegistryKey& key) : key_(key) {}

    void Integer(const char* name, int32_t& field) {
        int32_t v;
        if (key_.ReadInteger(name, v) == comp::RegRead::Ok) field = v;
    }
    void Boolean(const char* name, bool& field) {
        int32_t v;
        if (key_.ReadInteger(name, v) == comp::RegRead::Ok) field = v != 0;
    }
    void Text(const char* name, std::string& field) {
        std::string v;
        if (key_.ReadString(name, v) == comp::RegRead::Ok) field = Capped(v);
    }

private:
    const comp::RegistryKey& key_;
};

void ReadProductValues() {
    comp::RegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, kProductKey, false, KEY_READ)) return;
    std::string v;
    if (key.ReadString("LastWallPaper", v) == comp::RegRead::Ok) Settings.LastWallPaper = Capped(v);
    // An empty AppPath names no folder: the module's own stays.
    if (key.ReadString("AppPath", v) == comp::RegRead::Ok && !v.empty()) AppDirPath = v;
}

}  // namespace

void (*FirstStartSave)() = &SaveSettings;

void LoadSettings() {
    Settings = TSettings();
    try {
        ReadProductValues();
    } catch (...) {
    }
    SetDefaultSettings();

    comp::RegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, kSettingsKey, false, KEY_READ)) {
        // First start: write the defaults. Loading never fails, so a failed write leaves the record as it is.
        try {
            FirstStartSave();
        } catch (...) {
        }
        return;
    }
    SettingsReader r(key);
    r.Boolean("use_3d_wallpaper", Settings.use_3d_wallpaper);
    r.Text("wallpaper", Settings.wallpaper);
    r.Integer("ctrl_key", Settings.ctrl_key);
    r.Integer("which_key", Settings.which_key);
    r.Integer("key_inside", Settings.key_inside);
    r.Integer("key_hide", Settings.key_hide);
    r.Boolean("hide_shotcuts", Settings.hide_shotcuts);
    r.Integer("d3d_qw", Settings.d3d_qw);
    r.Boolean("FPSLimit", Settings.FPSLimit);
    r.Integer("FPS", Settings.FPS);
    r.Boolean("ShowFPS", Settings.ShowFPS);
    r.Integer("ShowFPSPlace", Settings.ShowFPSPlace);
    r.Boolean("StartUP", Settings.StartUP);
    r.Boolean("Tips", Settings.Tips);
}

std::string RunCommandFor(const std::string& appDir) {
    std::string path = appDir + "\\_3DVexlor.exe";
    // Without quotes, Windows would try to run the text before the first blank.
    if (path.find(' ') != std::string::npos) return "\"" + path + "\"";
    return path;
}

static bool OpenSettingsKeyToWrite(comp::RegistryKey& key) {
    return key.Open(HKEY_CURRENT_USER, kSettingsKey, true);
}

bool (*OpenSettingsForSave)(comp::RegistryKey& key) = &OpenSettingsKeyToWrite;

void SaveSettings() {
    {
        comp::RegistryKey key;
        if (!OpenSettingsForSave(key)) return;
        key.WriteBool("use_3d_wallpaper", Settings.use_3d_wallpaper);
        key.WriteString("wallpaper", Settings.wallpaper);
        key.WriteInteger("ctrl_key", Settings.ctrl_key);
        key.WriteInteger("which_key", Settings.which_key);
        key.WriteInteger("key_inside", Settings.key_inside);
        key.WriteInteger("key_hide", Settings.key_hide);
        key.WriteBool("hide_shotcuts", Settings.hide_shotcuts);
        key.WriteInteger("d3d_qw", Settings.d3d_qw);
        key.WriteBool("FPSLimit", Settings.FPSLimit);
        key.WriteInteger("FPS", Settings.FPS);
        key.WriteBool("ShowFPS", Settings.ShowFPS);
        key.WriteInteger("ShowFPSPlace", Settings.ShowFPSPlace);
        key.WriteBool("StartUP", Settings.StartUP);
        key.WriteBool("Tips", Settings.Tips);
    }
    SaveStartWithWindows();
}

void SaveStartWithWindows() {
    comp::RegistryKey run;
    if (!run.Open(HKEY_CURRENT_USER, kRunKey, true)) return;
    if (!Settings.StartUP) run.DeleteValue(kRunValue);
    // Without an application folder there is no program to name: the entry stays as it is.
    else if (!AppDirPath.empty()) run.WriteString(kRunValue, RunCommandFor(AppDirPath));
}
