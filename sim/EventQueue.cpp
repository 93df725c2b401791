#include "EventQueue.h"

void EventQueue::Add(int64_t atMicros, std::function<void()> action)
{
    m_events.emplace(std::make_pair(atMicros, m_nextSequence++), std::move(action));
}

bool EventQueue::RunOneDue(int64_t nowMicros)
{
    if (m_events.empty() || NextTime() > nowMicros)
        return false;
    auto first = m_events.begin();
    std::function<void()> action = std::move(first->second);
    m_events.erase(first);
    action();
    return true;
}
