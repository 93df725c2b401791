#include "ArmedLine.h"

#include "BoardEvents.h"

ArmedLine::ArmedLine(const Parts& parts, BoardEvents& events)
    : m_events(events), m_record(parts.record, events, *parts.firmware, parts.warn,
                                 [&events](const TryResult& result) { events.TryShown(result); }),
      m_runner(SharedRun(parts, m_record)), m_watcher(parts.setup.watchedFolder),
      m_station({parts.setup.jobs, parts.setup.includePresent}, events, m_runner)
{
    QObject::connect(&m_watcher, &PortWatcher::Appeared, &m_station, &Station::PortAppeared);
    QObject::connect(&m_watcher, &PortWatcher::Disappeared, &m_station, &Station::PortDisappeared);
}

PortRun ArmedLine::SharedRun(const Parts& parts, TryRecord& record)
{
    PortRun run;
    run.firmware = parts.firmware;
    run.makePort = parts.makePort;
    run.events = &record.Events();
    run.stop = parts.stop;
    run.retries = parts.setup.retries;
    run.beginTry = [&record](const QString& port) { return record.BeginTry(port); };
    return run;
}

void ArmedLine::Start()
{
    m_watcher.Start();
    // Said once the ports there now are known: a port plugged in from here on is new.
    m_events.Watching(m_watcher.Folder(), m_watcher.FolderExists());
}

void ArmedLine::Stop()
{
    m_watcher.Stop();
    m_station.Stop();
}
