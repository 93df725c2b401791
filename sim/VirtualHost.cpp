#include "VirtualHost.h"

#include <algorithm>

VirtualHost::VirtualHost(int32_t startTick) : m_startTick(startTick) {}

int32_t VirtualHost::TickCount()
{
    const auto ticks = static_cast<uint32_t>(m_startTick) + static_cast<uint64_t>(m_now / 1000);
    return static_cast<int32_t>(static_cast<uint32_t>(ticks));
}

void VirtualHost::ProcessEvents(int32_t maxWaitMs)
{
    ++m_processEventsCalls;
    if (m_observer)
        m_observer(m_processEventsCalls);
    if (RunDue() || maxWaitMs <= 0)
        return;
    const int64_t waitEnd = m_now + int64_t{maxWaitMs} * 1000;
    m_now = m_queue.Empty() ? waitEnd : std::min(waitEnd, m_queue.NextTime());
    RunDue();
}

void VirtualHost::CallAt(int64_t atMicros, std::function<void()> action)
{
    m_queue.Add(std::max(atMicros, m_now), std::move(action));
}

void VirtualHost::Schedule(int64_t atMs, std::function<void()> action)
{
    CallAt(atMs * 1000, std::move(action));
}

void VirtualHost::After(int64_t delayMs, std::function<void()> action)
{
    CallAt(m_now + delayMs * 1000, std::move(action));
}

void VirtualHost::RunFor(int64_t durationMs)
{
    const int64_t end = m_now + durationMs * 1000;
    while (true) {
        RunDue();
        if (m_queue.Empty() || m_queue.NextTime() > end)
            break;
        m_now = m_queue.NextTime();
    }
    m_now = end;
}

bool VirtualHost::RunDue()
{
    bool ranAny = false;
    while (m_queue.RunOneDue(m_now))
        ranAny = true;
    return ranAny;
}
