#pragma once

#include "Firmware.h"
#include "PortRun.h"
#include "PortWatcher.h"
#include "RecordTarget.h"
#include "Station.h"
#include "StationSetup.h"
#include "ThreadedPortRunner.h"
#include "TryRecord.h"

#include <atomic>
#include <memory>

class BoardEvents;

// The station core as norvane-flash station builds it, armed for the window: the record of
// tries, one worker thread per port, the folder watcher and the station's scheduler, all from
// one loaded firmware. The runs stop at their next step once stop is raised.
class ArmedLine
{
public:
    struct Parts
    {
        StationSetup setup;
        std::shared_ptr<const Firmware> firmware; // loaded
        RecordTarget record;
        PortRun::PortFactory makePort;
        const std::atomic<bool>* stop;
        TryRecord::Warn warn;
    };

    ArmedLine(const Parts& parts, BoardEvents& events);

    Station& GetStation() { return m_station; }
    TryRecord& Record() { return m_record; }

    // Starts watching: the ports there now are reported first.
    void Start();
    // Stops watching and taking ports; Station::Finished follows once the runs have ended.
    void Stop();

private:
    static PortRun SharedRun(const Parts& parts, TryRecord& record);

    BoardEvents& m_events;
    TryRecord m_record;
    ThreadedPortRunner m_runner;
    PortWatcher m_watcher;
    Station m_station;
};
