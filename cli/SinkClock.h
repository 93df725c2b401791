#pragma once

#include <QString>

#include <cstdint>

// The time as the text sinks read it: a steady count of milliseconds and the time of day
// ("14:02:11"). Tests give a clock of their own.
class SinkClock
{
public:
    virtual ~SinkClock() = default;
    virtual int64_t Ms() const = 0;
    virtual QString TimeOfDay() const = 0;
};

// The system's clocks.
const SinkClock& SystemClock();
