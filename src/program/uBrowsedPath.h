// A path chosen in an open dialog is stored in a text field of 255 characters at most (a settings value,
// a face's picture): a longer one is refused with a message rather than cut to a path of another file.
#pragma once

#include <windows.h>

#include <string>

// The refusal's text; the path follows it on the next line.
extern const char* const kPathTooLongText;

// True when |path| fits; otherwise shows the refusal (owned by |owner|) and answers false.
bool AcceptBrowsedPath(HWND owner, const std::string& path);
