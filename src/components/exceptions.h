// The component layer's exception family: one base class with a message, and the
// platform errors that carry the Windows error code and the system's text for it.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace comp {

// Base of every exception the system raises.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};

// A failed Windows call: the caller's message, the error code and its system text.
class EOSError : public Exception {
public:
    EOSError(const std::string& message, DWORD code);
    DWORD Code() const noexcept { return code_; }

private:
    DWORD code_;
};

// Raises EOSError for GetLastError() after a failed call named by |what|.
[[noreturn]] void RaiseLastOSError(const std::string& what);

// The system text for a Windows error code ("" when there is none).
std::string SysErrorMessage(DWORD code);

// A registry read or write that failed.
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// The heap could not give a block of the size asked for.
class EOutOfMemory : public Exception {
public:
    EOutOfMemory() : Exception("Out of memory") {}
};

// A failed COM call, with its HRESULT.
class EComError : public Exception {
public:
    EComError(const std::string& what, HRESULT hr);
    HRESULT Result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

// Raises EComError when |hr| is a failure code.
inline void CheckHResult(HRESULT hr, const char* what) {
    if (FAILED(hr)) throw EComError(what, hr);
}

}  // namespace comp
