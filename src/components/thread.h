// A worker thread object: made idle, started by Start, asked to stop by Terminate (a flag and an
// event the thread can wait on) and joined by WaitFor. Execute runs on the new thread; no exception
// leaves it. A derived class starts the thread only once it is fully made, and stops and joins it
// in its own destructor, before its parts go.
#pragma once

#include <windows.h>

#include <atomic>

#include "components/handles.h"

namespace comp {

class Thread {
public:
    Thread();
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Runs Execute on a new thread; raises EOSError when the thread cannot be made.
    void Start();
    // Asks Execute to end: Terminated becomes true and StopEvent is signalled.
    void Terminate();
    bool Terminated() const { return terminated_.load(); }
    // Waits until the thread has ended (at once when it never started).
    void WaitFor();

protected:
    virtual void Execute() = 0;
    // Signalled by Terminate: lets Execute wait for work and for the stop request at once.
    HANDLE StopEvent() const { return stop_.Get(); }

private:
    static unsigned __stdcall Entry(void* self);

    std::atomic<bool> terminated_{false};
    KernelHandle stop_;
    KernelHandle thread_;
};

}  // namespace comp
