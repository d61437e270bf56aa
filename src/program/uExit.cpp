// The exit start.
#include "uExit.h"

#include "components/registry.h"
#include "shared/uOptionsShared.h"
#include "uDesktopPage.h"

bool IsExitStart(const std::string& firstParameter) { return firstParameter == "/EXIT"; }

std::string ReadLastWallpaper() {
    std::string value;
    comp::RegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, kProductKey, false, KEY_READ)) {
        if (key.ReadString("LastWallPaper", value) != comp::RegRead::Ok) value.clear();
        key.Close();
    }
    return value;
}

std::string WallpaperToRestore(const std::string& stored) { return IsDesktopPage(stored) ? std::string() : stored; }

void RestoreLastWallpaper() { ApplyWallpaper(WideOf(WallpaperToRestore(ReadLastWallpaper()))); }

void RunExitStart() noexcept {
    try {
        RestoreLastWallpaper();
    } catch (...) {
        // Nothing to tell and no one to tell it to: the exit start ends quietly.
    }
}
