// A guard for calls into foreign code (plug-in libraries): a structured exception raised below the
// guard (an access violation, RaiseException, another language's exception) is caught there, the frames
// above the guard are unwound the platform's way, and the call returns its code instead of taking the
// process down. Frame-based on both targets: an exception the foreign code handles itself never reaches
// the guard. After a stack overflow the stack's guard page is put back, so the next one is caught too.
// A C++ exception of a GCC-built library is beyond it: on the 32-bit target the library's own runtime
// ends the process before anything is raised, and on the 64-bit target it does so once the exception
// has passed a frame of the library with objects to destroy (only one that passes none is caught).
#pragma once

#include <windows.h>

#include <type_traits>

namespace comp {

using GuardedProc = void (*)(void* context);

// Runs proc(context). True when it returned; false when a structured exception ended it, with the
// exception's code in |exceptionCode| when that isn't null. Only for calls into foreign code: objects of
// our own with destructors must not live in frames between the guard and the foreign code.
bool CallGuarded(GuardedProc proc, void* context, DWORD* exceptionCode = nullptr) noexcept;

// CallGuarded for a callable without arguments (a lambda that makes one foreign call).
template <typename F>
bool Guard(F&& body, DWORD* exceptionCode = nullptr) noexcept {
    using Body = std::remove_reference_t<F>;
    return CallGuarded([](void* context) { (*static_cast<Body*>(context))(); }, const_cast<void*>(static_cast<const void*>(&body)),
                       exceptionCode);
}

}  // namespace comp
