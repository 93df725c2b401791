#include "Station.h"

#include "Commands.h"
#include "FlashTries.h"
#include "PortWatcher.h"
#include "StationFacts.h"

#include <QFileInfo>

Station::Station(const Settings& settings, const FlashJob& job, EventSink& reporter,
                 PortWatcher& watcher)
    : m_settings(settings), m_job(job), m_reporter(reporter), m_watcher(watcher)
{
    connect(&m_watcher, &PortWatcher::Appeared, this, &Station::OnAppeared);
    connect(&m_watcher, &PortWatcher::Disappeared, this, &Station::OnDisappeared);
}

Station::~Station()
{
    for (auto& [port, slot] : m_slots) {
        if (slot.worker)
            slot.worker->wait();
    }
}

void Station::Start()
{
    m_watcher.Start();
    // Said once the ports there now are known: a port plugged in from here on is new.
    m_reporter.Watching(m_watcher.Folder(), m_watcher.FolderExists());
}

void Station::Stop()
{
    if (m_stopping)
        return;
    m_stopping = true;
    m_watcher.Stop();
    for (const QString& port : m_waiting) {
        m_reporter.Status(port, QStringLiteral("not flashed: the station stopped first"));
        m_slots.erase(port);
    }
    m_waiting.clear();
    m_counts.waiting = 0;
    FinishWhenIdle();
}

void Station::OnAppeared(const QString& port, bool presentAtStart)
{
    if (m_stopping)
        return;
    const auto known = m_slots.find(port);
    if (known != m_slots.end()) {
        // The port went away and came back while its download was still ending.
        known->second.pluggedAgain = true;
        return;
    }
    if (presentAtStart && !m_settings.includePresent) {
        m_slots[port].state = SlotState::LeftAlone;
        m_reporter.LeftAlone(port);
        return;
    }
    m_reporter.Plugged(port, UsbAdapterOf(port).serialNumber);
    Enqueue(port);
}

void Station::OnDisappeared(const QString& port)
{
    const auto found = m_slots.find(port);
    if (found == m_slots.end())
        return;
    Slot& slot = found->second;
    m_reporter.Unplugged(port);
    switch (slot.state) {
    case SlotState::Running:
        *slot.unplugged = true;
        slot.pluggedAgain = false;
        return; // forgotten when its download has ended
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

void Station::Enqueue(const QString& port)
{
    Slot& slot = m_slots[port];
    slot.state = SlotState::Waiting;
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
        StartWorker(port, m_slots[port]);
    }
}

void Station::StartWorker(const QString& port, Slot& slot)
{
    slot.state = SlotState::Running;
    slot.result = std::make_shared<FlashSummary>();
    ++m_counts.running;
    m_reporter.Started(port);

    FlashJob job = m_job;
    job.port = port;
    const int retries = m_settings.retries;
    slot.worker.reset(
        QThread::create([job, retries, result = slot.result, unplugged = slot.unplugged] {
            // A port that went away, or whose link no longer leads to a device, is not tried again.
            *result = RunFlashJobWithRetries(
                job, retries, [&] { return !*unplugged && QFileInfo::exists(job.port); });
        }));
    connect(slot.worker.get(), &QThread::finished, this, [this, port] { OnWorkerEnded(port); });
    slot.worker->start();
}

void Station::OnWorkerEnded(const QString& port)
{
    const auto found = m_slots.find(port);
    Slot& slot = found->second;
    slot.worker->wait();
    slot.worker.reset();
    const FlashSummary summary = *slot.result;

    --m_counts.running;
    if (summary.exitCode == ExitCode::Ok) {
        ++m_counts.done;
        m_counts.downloadMsTotal += summary.elapsedMs;
    } else if (summary.exitCode == ExitCode::Cancelled) {
        ++m_counts.cancelled;
    } else {
        ++m_counts.failed;
    }
    m_reporter.Ended(summary, m_counts);

    if (!*slot.unplugged) {
        slot.state = SlotState::Ended;
    } else if (slot.pluggedAgain && !m_stopping) {
        m_slots.erase(found);
        m_reporter.Plugged(port, UsbAdapterOf(port).serialNumber);
        Enqueue(port);
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
    m_reporter.Stopped(m_counts);
    emit Finished(static_cast<int>(
        m_counts.failed + m_counts.cancelled > 0 ? ExitCode::DownloadFailed : ExitCode::Ok));
}
