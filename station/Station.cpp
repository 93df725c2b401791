#include "Station.h"

#include "StationFacts.h"

#include <QFileInfo>

Station::Station(const Settings& settings, StationEvents& events, PortRunner& runner)
    : m_settings(settings), m_events(events), m_runner(runner)
{
}

void Station::Stop()
{
    if (m_stopping)
        return;
    m_stopping = true;
    for (const QString& port : m_waiting) {
        m_events.Status(port, QStringLiteral("not flashed: the station stopped first"));
        m_slots.erase(port);
    }
    m_waiting.clear();
    m_counts.waiting = 0;
    FinishWhenIdle();
}

void Station::PortAppeared(const QString& port, const QString& device, bool presentAtStart)
{
    if (m_stopping)
        return;
    const auto known = m_slots.find(port);
    if (known != m_slots.end()) {
        // The port went away and came back while its run was still ending.
        known->second.pluggedAgain = true;
        known->second.device = device;
        return;
    }
    if (presentAtStart && !m_settings.includePresent) {
        m_slots[port].state = SlotState::LeftAlone;
        m_events.LeftAlone(port);
        return;
    }
    m_events.Plugged(port, UsbAdapterOf(device).serialNumber);
    Enqueue(port, device);
}

void Station::PortDisappeared(const QString& port)
{
    const auto found = m_slots.find(port);
    if (found == m_slots.end())
        return;
    Slot& slot = found->second;
    m_events.Unplugged(port);
    switch (slot.state) {
    case SlotState::Running:
        *slot.unplugged = true;
        slot.pluggedAgain = false;
        return; // forgotten when its run has ended
    case SlotState::Waiting:
        std::erase(m_waiting, port);
        --m_counts.waiting;
        break;
    case SlotState::LeftAlone:
    case SlotState::Ended:
        break;
    }
    m_slots.erase(found);
}

void Station::Enqueue(const QString& port, const QString& device)
{
    Slot& slot = m_slots[port];
    slot.state = SlotState::Waiting;
    slot.device = device;
    m_waiting.push_back(port);
    ++m_counts.waiting;
    StartWaiting();
}

void Station::StartWaiting()
{
    while (!m_waiting.empty() && (m_settings.jobs == 0 || m_counts.running < m_settings.jobs)) {
        const QString port = m_waiting.front();
        m_waiting.pop_front();
        --m_counts.waiting;
        StartRun(port, m_slots[port]);
    }
}

void Station::StartRun(const QString& port, Slot& slot)
{
    const QString heldThrough = RunningThrough(slot.device);
    slot.state = SlotState::Running;
    ++m_counts.running;
    m_events.Started(port);
    // A port that went away, or whose device is gone, is not tried again.
    m_runner.Start(
        {port, slot.device, heldThrough},
        [device = slot.device, unplugged = slot.unplugged] {
            return !*unplugged && QFileInfo::exists(device);
        },
        [this](const QString& ended, const TryResult& last) { RunEnded(ended, last); });
}

// The port through which a run downloads to device now; empty when none does.
QString Station::RunningThrough(const QString& device) const
{
    for (const auto& [port, slot] : m_slots) {
        if (slot.state == SlotState::Running && slot.device == device)
            return port;
    }
    return QString();
}

void Station::RunEnded(const QString& port, const TryResult& last)
{
    const auto found = m_slots.find(port);
    Slot& slot = found->second;
    --m_counts.running;
    switch (last.run.outcome) {
    case Outcome::Downloaded:
        ++m_counts.done;
        m_counts.downloadMsTotal += last.elapsedMs;
        break;
    case Outcome::Cancelled:
        ++m_counts.cancelled;
        break;
    default:
        ++m_counts.failed;
        break;
    }
    m_events.Ended(last, m_counts);

    if (!*slot.unplugged) {
        slot.state = SlotState::Ended;
        if (last.run.reason.kind == FailureKind::LineLost)
            m_events.LineLost(port);
    } else if (slot.pluggedAgain && !m_stopping) {
        const QString device = slot.device;
        m_slots.erase(found);
        m_events.Plugged(port, UsbAdapterOf(device).serialNumber);
        Enqueue(port, device);
    } else {
        m_slots.erase(found);
    }
    StartWaiting();
    FinishWhenIdle();
}

void Station::FinishWhenIdle()
{
    if (!m_stopping || m_counts.running > 0)
        return;
    m_events.Stopped(m_counts);
    emit Finished(m_counts.failed + m_counts.cancelled > 0 ? OutcomeExitCode(Outcome::Failed)
                                                           : OutcomeExitCode(Outcome::Downloaded));
}
