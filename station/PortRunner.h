#pragma once

#include "RunResult.h"

#include <QString>

#include <functional>

// Starts a port's run elsewhere (a worker thread) and reports its end on the thread that
// started it. The station schedules through it; tests end runs when they choose.
class PortRunner
{
public:
    using Ended = std::function<void(const QString& port, const TryResult& last)>;

    // A port to run: its link as shown, the device it leads to, and the port through which
    // another run of this station downloads to that same device, if one does.
    struct Port
    {
        QString name;
        QString device;
        QString heldThrough;
    };

    virtual ~PortRunner() = default;

    // Starts a run on port; another try starts only while keepTrying() holds (called on the
    // run's thread). ended is called once, on the caller's thread, when the run is over.
    virtual void Start(const Port& port, std::function<bool()> keepTrying, Ended ended) = 0;
};
