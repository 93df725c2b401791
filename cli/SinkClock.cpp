#include "SinkClock.h"

#include <QTime>

#include <chrono>

namespace {

class SystemSinkClock : public SinkClock
{
public:
    int64_t Ms() const override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    QString TimeOfDay() const override
    {
        return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    }
};

} // namespace

const SinkClock& SystemClock()
{
    static const SystemSinkClock clock;
    return clock;
}
