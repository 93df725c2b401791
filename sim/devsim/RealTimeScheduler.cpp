#include "RealTimeScheduler.h"

#include <chrono>
#include <thread>

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
    // Timers fire on whole milliseconds and often late; an action due within the next
    // millisecond is waited for here with a short precise sleep instead, so replies leave
    // when the timing model says and not up to a millisecond later.
    for (;;) {
        while (m_queue.RunOneDue(NowMicros())) {
        }
        if (m_queue.Empty())
            break;
        const int64_t waitMicros = m_queue.NextTime() - NowMicros();
        if (waitMicros >= kPreciseWaitMicros)
            break;
        std::this_thread::sleep_for(std::chrono::microseconds(waitMicros));
    }
    Rearm();
}

void RealTimeScheduler::Rearm()
{
    if (m_queue.Empty()) {
        m_timer.stop();
        return;
    }
    // Wake a little early; RunDue waits out the rest precisely.
    const int64_t waitMicros = m_queue.NextTime() - NowMicros() - kPreciseWaitMicros;
    m_timer.start(waitMicros <= 0 ? 0 : static_cast<int>(waitMicros / 1000));
}
