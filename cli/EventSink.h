#pragma once

#include "Commands.h"
#include "DownloadView.h"
#include "FailureReason.h"

#include <QString>

#include <cstdint>

// How one port's run ended, for the outcome event and the summary at the end.
struct FlashSummary
{
    QString port;
    ExitCode exitCode = ExitCode::Ok;
    QString detail; // what the user should know, in words
    bool verified = false;
    int64_t elapsedMs = 0;
    FailureReason reason; // why the run failed: its kind, command, address and codes
};

// Where a port stands after a step of programming.
struct FlashProgress
{
    int value = 0;           // steps done
    int maximum = 0;         // steps in all
    int percent = 0;         // as the window shows it
    int64_t elapsedMs = 0;   // since programming began
    int64_t remainingMs = 0; // estimated from the bytes still to send and receive
};

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

// Where norvane-flash flash and station show what happens: JSON lines, plain lines or the
// live table. The download events come from every port's worker thread at once; sinks
// serialise their output and never wait for it to be written. An empty port stands for the
// shared load stage, before any port runs. The station's own events come from the main
// thread; unless a sink shows them otherwise they are status events in words ("plugged in
// (adapter A6008isP)"). An event a sink has nothing to show for is left alone.
class EventSink
{
public:
    virtual ~EventSink() = default;

    virtual void Status(const QString& port, const QString& text) = 0;
    virtual void FileState(const QString& /*port*/, const QString& /*text*/) {}
    virtual void Progress(const QString& port, const FlashProgress& progress) = 0;
    // A message box the window would show (the command line answers it by itself).
    virtual void Message(const QString& port, const MessageBoxText& box) = 0;
    // A try has ended; a port's last try is its outcome.
    virtual void Outcome(const FlashSummary& summary) = 0;
    // Every run has ended.
    virtual void Finish() {}

    // The station watches folder; present links there now, left alone unless included.
    virtual void Watching(const QString& folder, bool folderExists);
    // A link that was there at start: no byte is sent to it.
    virtual void LeftAlone(const QString& port);
    // A new port, with its adapter's serial number where the system reports one.
    virtual void Plugged(const QString& port, const QString& serialNumber);
    // A port's download begins (flash: every port, once the file has loaded).
    virtual void Started(const QString& /*port*/) {}
    // The port's download has ended for good (after its last try).
    virtual void Ended(const FlashSummary& /*summary*/, const StationCounts& /*counts*/) {}
    virtual void Unplugged(const QString& port);
    // The station has stopped: every download has ended.
    virtual void Stopped(const StationCounts& counts);
};
