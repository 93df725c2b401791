#pragma once

#include "EventQueue.h"
#include "Scheduler.h"

#include <QElapsedTimer>
#include <QTimer>

// Runs the virtual device in real time on the thread's event loop: one precise timer armed
// for the earliest pending action.
class RealTimeScheduler : public Scheduler
{
public:
    RealTimeScheduler();

    int64_t NowMicros() const override;
    void CallAt(int64_t atMicros, std::function<void()> action) override;

private:
    void RunDue();
    void Rearm();

    QElapsedTimer m_clock;
    QTimer m_timer;
    EventQueue m_queue;
};
