#pragma once

#include "Host.h"

#include <cstdint>

// A point in time a given number of milliseconds after its creation. Time is compared as
// elapsed ticks, so a deadline also expires correctly when the 32-bit tick count turns
// negative or wraps around while it runs.
class Deadline
{
public:
    Deadline(Host& host, int32_t milliseconds)
        : m_host(host), m_start(host.TickCount()), m_span(milliseconds)
    {
    }

    int32_t Elapsed() const
    {
        return static_cast<int32_t>(static_cast<uint32_t>(m_host.TickCount()) -
                                    static_cast<uint32_t>(m_start));
    }

    bool Expired() const { return Elapsed() >= m_span; }

    // Milliseconds left, never negative.
    int32_t Remaining() const
    {
        const int32_t left = m_span - Elapsed();
        return left > 0 ? left : 0;
    }

private:
    Host& m_host;
    int32_t m_start;
    int32_t m_span;
};
