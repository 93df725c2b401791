#pragma once

#include "Host.h"
#include "StopSignals.h"

#include <atomic>
#include <functional>
#include <utility>

// Whether Ctrl-C, SIGTERM or SIGHUP has asked the runs of norvane-flash to stop, as a cancel
// answered Yes, at their next step (see StopSignals).
inline const std::atomic<bool>& StopRequested()
{
    return StopSignals::Requested();
}

// A host that passes a pending stop on as a cancel each time it has let events run, so that
// a cancel cleared at the start of a stage is raised again at the next wait.
class StoppableHost : public Host
{
public:
    explicit StoppableHost(Host& host) : m_host(host) {}

    // What a stop does: request the run's cancel.
    void CancelOnStop(std::function<void()> cancel) { m_cancel = std::move(cancel); }

    int32_t TickCount() override { return m_host.TickCount(); }
    void ProcessEvents(int32_t maxWaitMs) override
    {
        m_host.ProcessEvents(maxWaitMs);
        if (m_cancel && StopRequested())
            m_cancel();
    }

private:
    Host& m_host;
    std::function<void()> m_cancel;
};
