#pragma once

#include "PortRunner.h"
#include "StationEvents.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <deque>
#include <map>
#include <memory>

// The station's bookkeeping, on one thread: every port that appears is run once through the
// runner, at most jobs at once (0: no limit), the others in the order they were plugged in. A
// port that goes away is forgotten, so the next device plugged into it is run again; until
// then a port keeps its outcome (a failed device stays failed). Ports there at start are left
// alone unless includePresent.
class Station : public QObject
{
    Q_OBJECT

public:
    struct Settings
    {
        int jobs = 0;
        bool includePresent = false;
    };

    Station(const Settings& settings, StationEvents& events, PortRunner& runner);

    // Stops taking ports and drops the waiting ones; Finished follows once the running ones
    // have ended (a stop request ends them at their next step).
    void Stop();

    // A port (a link in the watched folder) appeared or went away.
    // A port appeared, leading to device.
    void PortAppeared(const QString& port, const QString& device, bool presentAtStart);
    void PortDisappeared(const QString& port);

signals:
    // Every run has ended after Stop: 0 when none failed or was stopped, else 1.
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
        QString device;
        // Raised when the port goes away while its run goes on: no new try starts.
        std::shared_ptr<std::atomic<bool>> unplugged = std::make_shared<std::atomic<bool>>(false);
        bool pluggedAgain = false; // a new device arrived before the old run ended
    };

    void RunEnded(const QString& port, const TryResult& last);
    void Enqueue(const QString& port, const QString& device);
    void StartWaiting();
    void StartRun(const QString& port, Slot& slot);
    QString RunningThrough(const QString& device) const;
    void FinishWhenIdle();

    Settings m_settings;
    StationEvents& m_events;
    PortRunner& m_runner;
    std::map<QString, Slot> m_slots;
    std::deque<QString> m_waiting; // in the order plugged in
    StationCounts m_counts;
    bool m_stopping = false;
};
