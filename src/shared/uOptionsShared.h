// The settings record of both deliverables and its persistence in the current user's registry,
// with the start-with-Windows entry.
#pragma once

#include <cstdint>
#include <string>

namespace comp {
class RegistryKey;
}

// Text fields of the record hold at most this many characters; longer text is cut where it is stored.
constexpr size_t kSettingsTextMax = 255;

struct TSettings {
    std::string LastWallPaper;
    bool use_3d_wallpaper = false;
    int32_t wallpaper_param = 0;  // never stored; handed to the 3D wallpaper plug-in
    std::string wallpaper;
    int32_t ctrl_key = 0;
    int32_t which_key = 0;
    int32_t key_inside = 0;
    int32_t key_hide = 0;
    bool hide_shotcuts = false;
    int32_t d3d_qw = 0;
    bool FPSLimit = false;
    int32_t FPS = 0;
    bool ShowFPS = false;
    int32_t ShowFPSPlace = 0;
    bool StartUP = false;
    bool Tips = false;
};

extern TSettings Settings;

// Registry locations, under HKEY_CURRENT_USER.
extern const char* const kProductKey;   // "Software\Pellomar\3D Vexlor"
extern const char* const kSettingsKey;  // "Software\Pellomar\3D Vexlor\Settings"
extern const char* const kRunKey;       // "Software\Microsoft\Windows\CurrentVersion\Run"
extern const char* const kRunValue;     // "_3DVexlor"

void SetDefaultSettings();
// Never fails: each value is read on its own, and one that is missing or of another type keeps its
// default (AppDirPath: replaced by the stored "AppPath", the control program's folder, when that names
// one; the control program sets AppDirPath to its own folder again when it stores "AppPath" at start).
void LoadSettings();
// The save of the defaults that LoadSettings makes on the first start: by default SaveSettings. Whatever
// it raises is dropped: loading never fails.
extern void (*FirstStartSave)();
// Raises comp::ERegistryException when a value cannot be written. With an empty AppDirPath the
// start-with-Windows entry is left as it is rather than name a program in no folder.
void SaveSettings();
// The start-with-Windows part of SaveSettings alone: the entry names the program in AppDirPath while
// StartUP is on (left as it is without a folder), and is gone while it is off. Raises like SaveSettings.
void SaveStartWithWindows();
// How SaveSettings opens the settings key, by default creating it when missing; false when it can't.
// A key that opens but refuses a value makes SaveSettings raise as above.
extern bool (*OpenSettingsForSave)(comp::RegistryKey& key);

// The start-with-Windows command for an application folder: the program's path, quoted only when it
// holds a blank.
std::string RunCommandFor(const std::string& appDir);
