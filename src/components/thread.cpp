// Worker threads.
#include "components/thread.h"

#include <process.h>

#include "components/exceptions.h"

namespace comp {

Thread::Thread() : stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (!stop_) RaiseLastOSError("CreateEvent");
}

Thread::~Thread() {
    // A backstop only: the derived class has already stopped the thread (Execute is its own).
    Terminate();
    WaitFor();
}

void Thread::Start() {
    if (thread_) return;
    const uintptr_t handle = _beginthreadex(nullptr, 0, &Thread::Entry, this, 0, nullptr);
    if (!handle) RaiseLastOSError("_beginthreadex");
    thread_.Reset(reinterpret_cast<HANDLE>(handle));
}

void Thread::Terminate() {
    terminated_.store(true);
    SetEvent(stop_.Get());
}

void Thread::WaitFor() {
    if (!thread_) return;
    WaitForSingleObject(thread_.Get(), INFINITE);
    thread_.Reset();
}

unsigned __stdcall Thread::Entry(void* self) {
    try {
        static_cast<Thread*>(self)->Execute();
    } catch (...) {
        // Nothing leaves the thread.
    }
    return 0;
}

}  // namespace comp
