#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

// Actions ordered by due time, first scheduled first among equals.
class EventQueue
{
public:
    void Add(int64_t atMicros, std::function<void()> action);

    bool Empty() const { return m_events.empty(); }
    // Due time of the earliest action; only called when the queue is not empty.
    int64_t NextTime() const { return m_events.begin()->first.first; }

    // Removes and runs the earliest action if it is due at or before now. The action may add
    // further actions. False when nothing was due.
    bool RunOneDue(int64_t nowMicros);

private:
    std::map<std::pair<int64_t, uint64_t>, std::function<void()>> m_events;
    uint64_t m_nextSequence = 0;
};
