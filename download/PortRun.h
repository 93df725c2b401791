#pragma once

#include "DownloadPlan.h"
#include "DownloadView.h"
#include "Firmware.h"
#include "Host.h"
#include "RunResult.h"
#include "SerialPort.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class TraceSink;

// Where a port stands after a step of programming.
struct RunProgress
{
    int value = 0;           // steps done
    int maximum = 0;         // steps in all
    int percent = 0;         // as the window shows it
    int64_t elapsedMs = 0;   // since programming began
    int64_t remainingMs = 0; // estimated from the bytes still to send and receive
};

// What runs show while they run. Called on the thread of the run; an empty port stands for
// the shared load stage, before any port runs.
class RunEvents
{
public:
    virtual ~RunEvents() = default;

    virtual void Status(const QString& port, const QString& text) = 0;
    virtual void FileState(const QString& port, const QString& text) = 0;
    virtual void Progress(const QString& port, const RunProgress& progress) = 0;
    // A message box the window would show (a run on its own answers it by itself).
    virtual void Message(const QString& port, const MessageBoxText& box) = 0;
};

// One port's run: a port from the factory, wrapped in the counting port (and the tracing
// port when a trace is given), one download of the firmware loaded once for every port, and
// again from the beginning after a try that failed on the line, up to `retries` more times
// while keepTrying() holds; a try again begins once the line has fallen quiet. The stop flag
// cancels the run at its next step, as a cancel answered Yes. Nobody is asked: message boxes are
// reported and answered OK.
//
// As each try starts, beginTry is called (the try's row starts there), and the function it
// returns is called with the try's result once it has ended (the row is written and the
// outcome shown there), before the next try begins. Runs on the calling thread, whose host
// lets the port's events run.
struct PortRun
{
    using PortFactory = std::function<std::unique_ptr<SerialPort>()>;
    using TryEnd = std::function<void(const TryResult&)>;

    QString port;   // as shown and recorded
    QString device; // opened in its place when set: the device a link leads to
    // Set when another run of this program downloads to the same device through this port: the
    // device is not opened, and the run fails as a busy port held through it.
    QString heldThrough;
    std::shared_ptr<const Firmware> firmware; // loaded
    PortFactory makePort;
    Host* host = nullptr;
    RunEvents* events = nullptr;
    const std::atomic<bool>* stop = nullptr;
    int retries = 0;
    std::function<bool()> keepTrying = [] { return true; };
    std::function<TryEnd(const QString& port)> beginTry = [](const QString&) {
        return [](const TryResult&) {};
    };
    TraceSink* trace = nullptr; // null: no trace

    // Returns the last try that reached the device, or the only one.
    TryResult Run() const;

private:
    TryResult Try(int tryNumber) const;
};
