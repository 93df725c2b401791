#include "EventLoopHost.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

EventLoopHost::EventLoopHost()
{
    m_clock.start();
}

int32_t EventLoopHost::TickCount()
{
    // The elapsed count is cut to 32 bits on purpose: the tick count is allowed to wrap.
    return static_cast<int32_t>(static_cast<uint32_t>(m_clock.elapsed()));
}

void EventLoopHost::ProcessEvents(int32_t maxWaitMs)
{
    if (maxWaitMs <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // A single-shot timer bounds the sleep: processEvents with WaitForMoreEvents returns after
    // the first batch of events, and the timer's expiry is such an event.
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.setTimerType(Qt::PreciseTimer);
    wakeUp.start(maxWaitMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
