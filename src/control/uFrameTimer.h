// The frame timer: a stopwatch over the high-resolution counter (or GetTickCount when there is
// none) answering seconds as singles. Commands: 0 reset, 1 start, 2 stop, 3 advance by 0.1 s,
// 4 absolute time, 5 time since reset, 6 time since the last command 6; others answer -1.
#pragma once

#include <windows.h>

#include <cstdint>

enum TFrameTimerCommand : int {
    ftReset = 0,
    ftStart = 1,
    ftStop = 2,
    ftAdvance = 3,
    ftGetAbsoluteTime = 4,
    ftGetAppTime = 5,
    ftGetElapsedTime = 6,
};

// Where the timer reads the time; tests give their own.
struct TFrameClock {
    BOOL(WINAPI* QueryFrequency)(LARGE_INTEGER*);
    BOOL(WINAPI* QueryCounter)(LARGE_INTEGER*);
    DWORD(WINAPI* TickCount)();
};

class TFrameTimer {
public:
    explicit TFrameTimer(const TFrameClock& clock);
    float Command(int command);

private:
    void QueryOnce();

    TFrameClock clock_;
    bool queried_ = false;
    bool useCounter_ = false;
    int64_t frequency_ = 0;
    bool stopped_ = false;
    // Counter ticks when the counter is used...
    int64_t base_ = 0, stop_ = 0, last_ = 0;
    // ...seconds otherwise.
    double baseS_ = 0, stopS_ = 0, lastS_ = 0;
};

// The platform's clock: QueryPerformanceFrequency/Counter and GetTickCount.
TFrameClock SystemFrameClock();

// The library's one frame timer on the system clock.
float FrameTimer(int command);
