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
    //
    // It may throw instead of returning, to abandon the work that waits in it: the window
    // does so once the program is ending. Every caller (the loader, the transport, the
    // bootloader commands, the download engine) lets such an exception pass: it catches
    // nothing, holds no resource that needs more than a destructor, and clears its flags by
    // scope guards. Only the code that started the work catches it.
    virtual void ProcessEvents(int32_t maxWaitMs) = 0;
};

// The milliseconds from one tick count to a later one, also across a wrap of the count.
constexpr uint32_t TicksBetween(int32_t from, int32_t to)
{
    return static_cast<uint32_t>(to) - static_cast<uint32_t>(from);
}
