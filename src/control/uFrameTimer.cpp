// The frame timer: a high-resolution clock with reset, start, stop and advance.
#include "control/uFrameTimer.h"

TFrameClock SystemFrameClock() { return TFrameClock{QueryPerformanceFrequency, QueryPerformanceCounter, GetTickCount}; }

TFrameTimer::TFrameTimer(const TFrameClock& clock) : clock_(clock) {}

void TFrameTimer::QueryOnce() {
    if (queried_) return;
    queried_ = true;
    LARGE_INTEGER f{};
    useCounter_ = clock_.QueryFrequency(&f) && f.QuadPart > 0;
    frequency_ = useCounter_ ? f.QuadPart : 0;
}

float TFrameTimer::Command(int command) {
    QueryOnce();
    if (useCounter_) {
        LARGE_INTEGER c{};
        // Commands 1 and 4 always read the counter; the others see the stop time while stopped.
        if (stopped_ && command != ftStart && command != ftGetAbsoluteTime)
            c.QuadPart = stop_;
        else
            clock_.QueryCounter(&c);
        const int64_t now = c.QuadPart;
        const double f = static_cast<double>(frequency_);
        switch (command) {
            case ftReset:
                base_ = now;
                last_ = now;
                stop_ = 0;
                stopped_ = false;
                return 0.0f;
            case ftStart:
                if (stopped_) base_ += now - stop_;
                stop_ = 0;
                last_ = now;
                stopped_ = false;
                return 0.0f;
            case ftStop:
                if (!stopped_) {
                    stop_ = now;
                    last_ = now;
                    stopped_ = true;
                }
                return 0.0f;
            case ftAdvance:
                stop_ += frequency_ / 10;
                return 0.0f;
            case ftGetAbsoluteTime:
                return static_cast<float>(now / f);
            case ftGetAppTime:
                return static_cast<float>((now - base_) / f);
            case ftGetElapsedTime: {
                const double elapsed = (now - last_) / f;
                last_ = now;
                return static_cast<float>(elapsed);
            }
            default:
                return -1.0f;
        }
    }
    double now;
    if (stopped_ && command != ftStart && command != ftGetAbsoluteTime)
        now = stopS_;
    else
        now = clock_.TickCount() * 0.001;
    switch (command) {
        case ftReset:
            baseS_ = now;
            lastS_ = now;
            stopS_ = 0;
            stopped_ = false;
            return 0.0f;
        case ftStart:
            if (stopped_) baseS_ += now - stopS_;
            stopS_ = 0;
            lastS_ = now;
            stopped_ = false;
            return 0.0f;
        case ftStop:
            if (!stopped_) {
                stopS_ = now;
                lastS_ = now;
                stopped_ = true;
            }
            return 0.0f;
        case ftAdvance:
            stopS_ += 0.1;
            return 0.0f;
        case ftGetAbsoluteTime:
            return static_cast<float>(now);
        case ftGetAppTime:
            return static_cast<float>(now - baseS_);
        case ftGetElapsedTime: {
            const double elapsed = now - lastS_;
            lastS_ = now;
            return static_cast<float>(elapsed);
        }
        default:
            return -1.0f;
    }
}

float FrameTimer(int command) {
    static TFrameTimer timer(SystemFrameClock());
    return timer.Command(command);
}
