#pragma once

#include "PortRun.h"
#include "RunResult.h"

#include <QString>

#include <cstdint>

// What the station has done so far.
struct StationCounts
{
    int done = 0;      // downloaded (verified, or no header was due)
    int failed = 0;    // ended any other way than downloaded or stopped
    int cancelled = 0; // stopped by a stop request
    int running = 0;
    int waiting = 0;             // plugged in, waiting for a free job
    int64_t downloadMsTotal = 0; // of the downloads done

    int64_t MeanDownloadMs() const { return done > 0 ? downloadMsTotal / done : 0; }
};

// A port whose line was lost while its link stays.
inline const QString kLineLostText = QStringLiteral("line lost; unplug to go on");

// Where the station shows what happens: the events of every port's run (from the runs'
// threads) and the station's own events (from the station's thread).
class StationEvents : public RunEvents
{
public:
    // The station watches folder; present links there now, left alone unless included.
    virtual void Watching(const QString& folder, bool folderExists) = 0;
    // A link that was there at start: no byte is sent to it.
    virtual void LeftAlone(const QString& port) = 0;
    // A new port, with its adapter's serial number where the system reports one.
    virtual void Plugged(const QString& port, const QString& serialNumber) = 0;
    virtual void Started(const QString& port) = 0;
    // The port's run has ended for good (after its last try).
    virtual void Ended(const TryResult& result, const StationCounts& counts) = 0;
    virtual void Unplugged(const QString& port) = 0;
    // The port's line was lost and its link stays: nothing more is done on it until it goes.
    // Every program tells it in the words of kLineLostText.
    virtual void LineLost(const QString& port) = 0;
    // The station has stopped: every run has ended.
    virtual void Stopped(const StationCounts& counts) = 0;
};
