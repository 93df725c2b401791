#pragma once

#include "Host.h"

#include <QElapsedTimer>

// The host of the window and of a command-line worker thread: monotonic ticks, and events of
// the calling thread dispatched by its own event loop. A wait sleeps until an event arrives
// (serial data, a click, a timer) or the time has passed; it never spins.
class EventLoopHost : public Host
{
public:
    EventLoopHost();

    int32_t TickCount() override;
    void ProcessEvents(int32_t maxWaitMs) override;

private:
    QElapsedTimer m_clock;
};
