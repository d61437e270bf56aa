// The module this code is linked into: in a DLL the DLL's own instance, never the host exe's.
#pragma once

#include <windows.h>

#include <string>

namespace comp {

HINSTANCE ModuleInstance();

// Full file name of a module; "" when it cannot be read or was cut at the buffer size.
std::string ModuleFileName(HMODULE module, DWORD bufferSize = MAX_PATH);

}  // namespace comp
