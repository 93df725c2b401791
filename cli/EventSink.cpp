#include "EventSink.h"

#include "EventTexts.h"

void EventSink::Watching(const QString& folder, bool folderExists)
{
    Status(QString(), folderExists
                          ? QStringLiteral("Watching %1 for new ports (Ctrl-C stops)").arg(folder)
                          : QStringLiteral("Waiting for %1 to appear, then for new ports in it "
                                           "(Ctrl-C stops)")
                                .arg(folder));
}

void EventSink::LeftAlone(const QString& port)
{
    Status(port,
           QStringLiteral(
               "there before the station started, left alone (--include-present flashes it)"));
}

void EventSink::Plugged(const QString& port, const QString& serialNumber)
{
    Status(port, serialNumber.isEmpty()
                     ? QStringLiteral("plugged in")
                     : QStringLiteral("plugged in (adapter %1)").arg(serialNumber));
}

void EventSink::Unplugged(const QString& port)
{
    Status(port, QStringLiteral("unplugged"));
}

void EventSink::LineLost(const QString& port)
{
    Status(port, kLineLostText);
}

void EventSink::Stopped(const StationCounts& counts)
{
    Status(QString(), StoppedText(counts));
}
