#include "RealTimeScheduler.h"

RealTimeScheduler::RealTimeScheduler()
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { RunDue(); });
}

int64_t RealTimeScheduler::NowMicros() const
{
    return m_clock.nsecsElapsed() / 1000;
}

void RealTimeScheduler::CallAt(int64_t atMicros, std::function<void()> action)
{
    m_queue.Add(atMicros, std::move(action));
    Rearm();
}

void RealTimeScheduler::RunDue()
{
    while (m_queue.RunOneDue(NowMicros())) {
    }
    Rearm();
}

void RealTimeScheduler::Rearm()
{
    if (m_queue.Empty()) {
        m_timer.stop();
        return;
    }
    // Timers count whole milliseconds: round up so that an action never runs early.
    const int64_t waitMicros = m_queue.NextTime() - NowMicros();
    const int waitMs = waitMicros <= 0 ? 0 : static_cast<int>((waitMicros + 999) / 1000);
    m_timer.start(waitMs);
}
