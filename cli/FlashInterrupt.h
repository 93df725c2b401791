#pragma once

#include "Host.h"

#include <atomic>

// Ctrl-C during norvane-flash flash. The first one asks every run to stop at its next step
// (as a cancel answered Yes); a second one ends the program at once.
void InstallInterruptHandler();
const std::atomic<bool>& Interrupted();

// A host that passes a pending Ctrl-C on as a cancel each time it has let events run, so
// that a cancel cleared at the start of a stage is raised again at the next wait.
class InterruptibleHost : public Host
{
public:
    explicit InterruptibleHost(Host& host) : m_host(host) {}

    // The cancel flag that a Ctrl-C raises.
    void RaiseOnInterrupt(std::atomic<bool>& cancel) { m_cancel = &cancel; }

    int32_t TickCount() override { return m_host.TickCount(); }
    void ProcessEvents(int32_t maxWaitMs) override
    {
        m_host.ProcessEvents(maxWaitMs);
        if (m_cancel && Interrupted())
            *m_cancel = true;
    }

private:
    Host& m_host;
    std::atomic<bool>* m_cancel = nullptr;
};
