// Messages for the platform exceptions.
#include "exceptions.h"

#include <cstdio>

namespace comp {

std::string SysErrorMessage(DWORD code) {
    char buffer[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                             buffer, sizeof buffer, nullptr);
    while (n > 0 && (buffer[n - 1] == '\r' || buffer[n - 1] == '\n' || buffer[n - 1] == ' ' || buffer[n - 1] == '.'))
        --n;
    return std::string(buffer, n);
}

static std::string WithCode(const std::string& message, unsigned long code, const std::string& text) {
    char number[32];
    std::snprintf(number, sizeof number, "0x%08lX", code);
    std::string result = message + " (" + number + ")";
    if (!text.empty()) result += ": " + text;
    return result;
}

EOSError::EOSError(const std::string& message, DWORD code)
    : Exception(WithCode(message, code, SysErrorMessage(code))), code_(code) {}

void RaiseLastOSError(const std::string& what) { throw EOSError(what, GetLastError()); }

EComError::EComError(const std::string& what, HRESULT hr)
    : Exception(WithCode(what, static_cast<unsigned long>(hr), SysErrorMessage(static_cast<DWORD>(hr)))), hr_(hr) {}

}  // namespace comp
