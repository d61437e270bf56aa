// Refusing browsed paths that a stored text field cannot hold.
#include "uBrowsedPath.h"

#include "frmMain.h"
#include "shared/uOptionsShared.h"

const char* const kPathTooLongText = "The path of this file is longer than 255 characters and cannot be used:";

bool AcceptBrowsedPath(HWND owner, const std::string& path) {
    if (path.size() <= kSettingsTextMax) return true;
    const std::string text = std::string(kPathTooLongText) + "\r\n" + path;
    MessageBoxA(owner, text.c_str(), kApplicationTitle, MB_OK | MB_ICONWARNING);
    return false;
}
