// Reading a desktop page: is a wallpaper an HTML page, and which control class does its <object> name.
#pragma once

#include <windows.h>

#include <string>

// True for a name ending in ".htm" or ".html" (any case).
bool IsHtmlFile(const std::string& name);
// The class of the first <object> whose classid attribute is "clsid:{...}" (quotes optional, any case).
bool FindObjectClassId(const std::string& html, CLSID& clsid);
