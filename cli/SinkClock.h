#pragma once

#include <QString>
#include <QTime>

#include <chrono>
#include <cstdint>

// The time as the text sinks read it: a steady count of milliseconds and the time of day
// ("14:02:11"), from the system's clocks. Tests give a clock of their own.
class SinkClock
{
public:
    virtual ~SinkClock() = default;
    virtual int64_t Ms() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    virtual QString TimeOfDay() const
    {
        return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    }
};

// The system's clocks.
inline const SinkClock kSystemClock{};
