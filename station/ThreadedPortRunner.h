#pragma once

#include "PortRun.h"
#include "PortRunner.h"

#include <QObject>
#include <QThread>

#include <map>
#include <memory>

// Runs each port on a worker thread of its own, with the thread's event loop as its host and
// the real serial port, from one PortRun whose port, host and keepTrying it sets per run.
class ThreadedPortRunner : public QObject, public PortRunner
{
public:
    explicit ThreadedPortRunner(const PortRun& shared) : m_shared(shared) {}
    // Waits for the runs still going.
    ~ThreadedPortRunner() override;

    void Start(const Port& port, std::function<bool()> keepTrying, Ended ended) override;

private:
    PortRun m_shared;
    std::map<QThread*, std::unique_ptr<QThread>> m_workers;
};
