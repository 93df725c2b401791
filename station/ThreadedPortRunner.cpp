#include "ThreadedPortRunner.h"

#include "EventLoopHost.h"

ThreadedPortRunner::~ThreadedPortRunner()
{
    for (auto& [thread, worker] : m_workers)
        worker->wait();
}

void ThreadedPortRunner::Start(const Port& port, std::function<bool()> keepTrying, Ended ended)
{
    auto result = std::make_shared<TryResult>();
    PortRun run = m_shared;
    run.port = port.name;
    run.device = port.device;
    run.heldThrough = port.heldThrough;
    run.keepTrying = std::move(keepTrying);
    std::unique_ptr<QThread> worker(QThread::create([run, result]() mutable {
        EventLoopHost host;
        run.host = &host;
        *result = run.Run();
    }));
    QThread* thread = worker.get();
    connect(thread, &QThread::finished, this, [this, thread, port = port.name, result, ended] {
        thread->wait();
        m_workers.erase(thread);
        ended(port, *result);
    });
    m_workers.emplace(thread, std::move(worker));
    thread->start();
}
