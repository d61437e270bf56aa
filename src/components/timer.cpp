// Timers ride on a hidden message-only window each.
#include "timer.h"

namespace comp {

class Timer::Sink : public Window {
public:
    explicit Sink(Timer& owner) : owner_(owner) {
        WindowParams p;
        p.className = "comp.TimerSink";
        p.style = 0;
        p.parent = HWND_MESSAGE;
        p.x = p.y = p.width = p.height = 0;
        Create(p);
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_TIMER && wParam == 1) {
            owner_.Tick();
            return 0;
        }
        return DefaultHandler(msg, wParam, lParam);
    }

private:
    Timer& owner_;
};

Timer::Timer() : sink_(new Sink(*this)) {}

Timer::~Timer() {
    if (sink_->Handle()) KillTimer(sink_->Handle(), 1);
    delete sink_;
}

void Timer::SetInterval(UINT milliseconds) {
    interval_ = milliseconds;
    Update();
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Update();
}

void Timer::Update() {
    KillTimer(sink_->Handle(), 1);
    if (enabled_ && interval_ > 0) SetTimer(sink_->Handle(), 1, interval_, nullptr);
}

void Timer::Tick() {
    if (enabled_ && OnTimer) OnTimer(*this);
}

}  // namespace comp
