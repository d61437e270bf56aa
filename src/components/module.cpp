// The module's own instance handle, taken from the image base the linker places in every module.
#include "module.h"

#include <vector>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace comp {

HINSTANCE ModuleInstance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

std::string ModuleFileName(HMODULE module, DWORD bufferSize) {
    if (bufferSize == 0) return {};
    std::vector<char> buffer(bufferSize + 1, '\0');
    DWORD n = GetModuleFileNameA(module, buffer.data(), bufferSize);
    // A name that filled the whole buffer was cut: a cut name is a wrong name.
    if (n == 0 || n >= bufferSize) return {};
    return std::string(buffer.data(), n);
}

}  // namespace comp
