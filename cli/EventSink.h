#pragma once

#include "Commands.h"
#include "DownloadView.h"
#include "PortRun.h"
#include "RunResult.h"
#include "StationEvents.h"

#include <QString>

#include <cstdint>

// Where norvane-flash flash and station show what happens: JSON lines, plain lines or the
// live table. The download events come from every port's worker thread at once; sinks
// serialise their output and never wait for it to be written. An empty port stands for the
// shared load stage, before any port runs. The station's own events come from the main
// thread; unless a sink shows them otherwise they are status events in words ("plugged in
// (adapter A6008isP)"). An event a sink has nothing to show for is left alone.
class EventSink : public StationEvents
{
public:
    void FileState(const QString& /*port*/, const QString& /*text*/) override {}
    // A try has ended; a port's last try is its outcome.
    virtual void Outcome(const TryResult& summary) = 0;
    // Every run has ended.
    virtual void Finish() {}

    // The station watches folder; present links there now, left alone unless included.
    void Watching(const QString& folder, bool folderExists) override;
    // A link that was there at start: no byte is sent to it.
    void LeftAlone(const QString& port) override;
    // A new port, with its adapter's serial number where the system reports one.
    void Plugged(const QString& port, const QString& serialNumber) override;
    // A port's download begins (flash: every port, once the file has loaded).
    void Started(const QString& /*port*/) override {}
    // The port's download has ended for good (after its last try).
    void Ended(const TryResult& /*summary*/, const StationCounts& /*counts*/) override {}
    void Unplugged(const QString& port) override;
    void LineLost(const QString& port) override;
    // The station has stopped: every download has ended.
    void Stopped(const StationCounts& counts) override;
};
