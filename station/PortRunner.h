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

    virtual ~PortRunner() = default;

    // Starts a run on port; another try starts only while keepTrying() holds (called on the
    // run's thread). ended is called once, on the caller's thread, when the run is over.
    virtual void Start(const QString& port, std::function<bool()> keepTrying, Ended ended) = 0;
};
