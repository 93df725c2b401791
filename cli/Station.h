#pragma once

#include "EventSink.h"
#include "FlashJob.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
#include <deque>
#include <map>
#include <memory>

class PortWatcher;

// The station's bookkeeping, on the main thread: every port the watcher reports is flashed
// once on a worker thread of its own, at most jobs at once (0: no limit), the others in the
// order they were plugged in. A port that goes away is forgotten, so the next device plugged
// into it is flashed again; until then a port keeps its outcome (a failed device stays
// failed). Ports there at start are left alone unless includePresent.
class Station : public QObject
{
    Q_OBJECT

public:
    struct Settings
    {
        int jobs = 0;
        int retries = 0;
        bool includePresent = false;
    };

    // job carries the loaded image shared by every download; its port is set per port.
    Station(const Settings& settings, const FlashJob& job, EventSink& reporter,
            PortWatcher& watcher);
    ~Station() override;

    void Start();
    // Stops watching and drops the waiting ports; Finished follows once the running
    // downloads have ended (a Ctrl-C stops them at their next step).
    void Stop();

signals:
    // Every download has ended after Stop: 0 when none failed or was stopped, else 1.
    void Finished(int exitCode);

private:
    enum class SlotState
    {
        LeftAlone,
        Waiting,
        Running,
        Ended,
    };

    struct Slot
    {
        SlotState state = SlotState::Waiting;
        // Raised when the port goes away while its download runs: no new try starts.
        std::shared_ptr<std::atomic<bool>> unplugged = std::make_shared<std::atomic<bool>>(false);
        bool pluggedAgain = false; // a new device arrived before the old download ended
        std::unique_ptr<QThread> worker;
        std::shared_ptr<FlashSummary> result;
    };

    void OnAppeared(const QString& port, bool presentAtStart);
    void OnDisappeared(const QString& port);
    void OnWorkerEnded(const QString& port);
    void Enqueue(const QString& port);
    void StartWaiting();
    void StartWorker(const QString& port, Slot& slot);
    void FinishWhenIdle();

    Settings m_settings;
    FlashJob m_job;
    EventSink& m_reporter;
    PortWatcher& m_watcher;
    std::map<QString, Slot> m_slots;
    std::deque<QString> m_waiting; // in the order plugged in
    StationCounts m_counts;
    bool m_stopping = false;
};
