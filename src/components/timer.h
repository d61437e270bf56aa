// A message timer: Interval in milliseconds, Enabled, and an OnTimer event, ticking on the thread
// that made it. A slow handler delays the next tick instead of piling ticks up.
#pragma once

#include "window.h"

#include <functional>

namespace comp {

class Timer {
public:
    Timer();
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void SetInterval(UINT milliseconds);
    UINT Interval() const { return interval_; }
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }

    // Called on every tick; an exception it raises goes to the application's exception handler
    // unless the handler catches it itself.
    std::function<void(Timer& sender)> OnTimer;

private:
    class Sink;
    void Update();
    void Tick();

    Sink* sink_;
    UINT interval_ = 1000;
    bool enabled_ = false;
};

}  // namespace comp
