#pragma once

#include <cstdint>

// The outside world as the protocol code sees it: a millisecond clock and one call that lets
// pending events run. The window, a worker thread of the command line and the tests (virtual
// time) each supply their own.
class Host
{
public:
    virtual ~Host() = default;

    // Milliseconds since an arbitrary start, as a 32-bit count that is allowed to wrap.
    virtual int32_t TickCount() = 0;

    // Dispatches every pending event. It may block until a new event arrives or until
    // maxWaitMs milliseconds have passed, whichever comes first; with maxWaitMs <= 0 it only
    // dispatches what is pending and returns.
    virtual void ProcessEvents(int32_t maxWaitMs) = 0;
};
