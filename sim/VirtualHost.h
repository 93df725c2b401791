#pragma once

#include "EventQueue.h"
#include "Host.h"
#include "Scheduler.h"

#include <cstdint>
#include <functional>
#include <utility>

// Virtual time for every test: a host whose clock moves only when the code under test waits,
// and the scheduler of the virtual device. A 7.5 s time-out or a 20 s late reply costs
// microseconds, and every run is deterministic.
//
// ProcessEvents runs the actions that are due. When none is due and the caller may wait, the
// clock jumps to the next scheduled action or by the whole wait, whichever comes first, and
// the actions due then run.
class VirtualHost : public Host, public Scheduler
{
public:
    // startTick: the tick count at virtual time 0, e.g. just below a 32-bit wrap.
    explicit VirtualHost(int32_t startTick = 0);

    int32_t TickCount() override;
    void ProcessEvents(int32_t maxWaitMs) override;

    int64_t NowMicros() const override { return m_now; }
    void CallAt(int64_t atMicros, std::function<void()> action) override;

    // Test helpers in milliseconds of virtual time since the host was made.
    int64_t NowMs() const { return m_now / 1000; }
    void Schedule(int64_t atMs, std::function<void()> action);
    void After(int64_t delayMs, std::function<void()> action);
    // Lets time pass for a while with every due action run, as a waiting caller would.
    void RunFor(int64_t durationMs);

    // How often ProcessEvents was called: proves that a wait dispatched events.
    int64_t ProcessEventsCalls() const { return m_processEventsCalls; }
    // Called at the start of every ProcessEvents with the count of calls, this one included:
    // something a user does while the code under test lets events run.
    void OnProcessEvents(std::function<void(int64_t)> observer)
    {
        m_observer = std::move(observer);
    }

private:
    bool RunDue();

    EventQueue m_queue;
    int64_t m_now = 0;
    int32_t m_startTick;
    int64_t m_processEventsCalls = 0;
    std::function<void(int64_t)> m_observer;
};
