#pragma once

#include "Host.h"

// Raised inside a running download once the user has chosen to end the program, so that the
// download stops where it stands instead of waiting out its time-outs. The window catches it
// where it started the download.
struct ProgramEnding
{
};

// The window's host for the download: passes every wait on to the real host, and once the
// program is ending throws ProgramEnding from the wait instead of returning to the download.
class EndingAwareHost : public Host
{
public:
    explicit EndingAwareHost(Host& inner) : m_inner(inner) {}

    void BeginEnding() { m_ending = true; }
    bool IsEnding() const { return m_ending; }

    int32_t TickCount() override { return m_inner.TickCount(); }
    void ProcessEvents(int32_t maxWaitMs) override;

private:
    Host& m_inner;
    bool m_ending = false;
};
