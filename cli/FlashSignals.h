#pragma once

#include "Host.h"

#include <atomic>
#include <functional>
#include <utility>

// Ctrl-C, SIGTERM (timeout, a service manager) and SIGHUP (a closed terminal) during
// norvane-flash flash. The first one asks every run to stop at its next step, as a cancel
// answered Yes; a second one ends the program at once with 128 + its number. A SIGHUP after
// a SIGHUP counts once: a closed terminal may deliver it twice (the kernel and the shell).
void InstallStopSignals();
const std::atomic<bool>& StopRequested();
// Once every run has ended, the first signal ends the program at once with exitCode: only
// output is left to write, and an output that takes nothing more must not hold it up. A stop
// that came while the runs were ending does the same a second later. -1 returns to stopping
// the runs.
void EndAtOnceOnStop(int exitCode);

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
