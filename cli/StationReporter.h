#pragma once

#include "FlashReporter.h"

#include <cstdint>

// What the station has done so far.
struct StationCounts
{
    int done = 0;      // downloaded (verified, or no header was due)
    int failed = 0;    // ended any other way than downloaded or stopped
    int cancelled = 0; // stopped by Ctrl-C
    int running = 0;
    int waiting = 0;             // plugged in, waiting for a free job
    int64_t downloadMsTotal = 0; // of the downloads done

    int64_t MeanDownloadMs() const { return done > 0 ? downloadMsTotal / done : 0; }
};

// Where the station shows what happens: the events of every port's download (from the
// workers' threads, as for flash) and the station's own events (from the main thread).
class StationReporter : public FlashReporter
{
public:
    // The station watches folder; present links there now, left alone unless included.
    virtual void Watching(const QString& folder, bool folderExists) = 0;
    // A link that was there at start: no byte is sent to it.
    virtual void LeftAlone(const QString& port) = 0;
    // A new port, with its adapter's serial number where the system reports one.
    virtual void Plugged(const QString& port, const QString& serialNumber) = 0;
    virtual void Started(const QString& port) = 0;
    // The port's download has ended for good (after its last try).
    virtual void Ended(const FlashSummary& summary, const StationCounts& counts) = 0;
    virtual void Unplugged(const QString& port) = 0;
    // The station has stopped: every download has ended.
    virtual void Stopped(const StationCounts& counts) = 0;
};

// The events of flash --json, one JSON object per line, with the station's own events as
// status events; writes through an output of its own.
std::unique_ptr<StationReporter> MakeStationJsonReporter();

// The station's own events in words, the same on a terminal, in a log and in JSON.
QString WatchingText(const QString& folder, bool folderExists);
QString LeftAloneText();
QString PluggedText(const QString& serialNumber);
QString UnpluggedText();
// "3 done, 1 failed, 0 stopped, 2 running, 0 waiting; mean download time 41.2 s"
QString CountsText(const StationCounts& counts);
QString StoppedText(const StationCounts& counts);
