#pragma once

#include <cstdint>
#include <functional>

// The clock and timers the virtual device runs on, in microseconds: virtual time in tests,
// real time in norvane-devsim.
class Scheduler
{
public:
    virtual ~Scheduler() = default;

    virtual int64_t NowMicros() const = 0;
    // Runs action at the given time (at once, on the next turn, when that time has passed).
    // Actions due at the same time run in the order they were scheduled.
    virtual void CallAt(int64_t atMicros, std::function<void()> action) = 0;
};
