#include "StationReporter.h"

QString CountsText(const StationCounts& counts)
{
    QString text = QStringLiteral("%1 done, %2 failed, %3 stopped, %4 running, %5 waiting")
                       .arg(counts.done)
                       .arg(counts.failed)
                       .arg(counts.cancelled)
                       .arg(counts.running)
                       .arg(counts.waiting);
    if (counts.done > 0)
        text += QStringLiteral("; mean download time %1 s")
                    .arg(static_cast<double>(counts.MeanDownloadMs()) / 1000.0, 0, 'f', 1);
    return text;
}

QString WatchingText(const QString& folder, bool folderExists)
{
    return folderExists
               ? QStringLiteral("Watching %1 for new ports (Ctrl-C stops)").arg(folder)
               : QStringLiteral("Waiting for %1 to appear, then for new ports in it (Ctrl-C "
                                "stops)")
                     .arg(folder);
}

QString LeftAloneText()
{
    return QStringLiteral(
        "there before the station started, left alone (--include-present flashes it)");
}

QString PluggedText(const QString& serialNumber)
{
    return serialNumber.isEmpty() ? QStringLiteral("plugged in")
                                  : QStringLiteral("plugged in (adapter %1)").arg(serialNumber);
}

QString UnpluggedText()
{
    return QStringLiteral("unplugged");
}

QString StoppedText(const StationCounts& counts)
{
    return QStringLiteral("Station stopped: ") + CountsText(counts);
}
