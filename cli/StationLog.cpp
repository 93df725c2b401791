#include "StationLog.h"

#include <QTime>

StationLog::StationLog(std::FILE* out, std::FILE* err) : m_out(out), m_err(err) {}

void StationLog::Status(const QString& port, const QString& text)
{
    if (text.isEmpty())
        return;
    const std::lock_guard lock(m_mutex);
    PrintLine(m_out, port, text);
}

void StationLog::FileState(const QString&, const QString&)
{
    // The CRC is part of the status lines already.
}

void StationLog::Progress(const QString& port, const FlashProgress& progress)
{
    const std::lock_guard lock(m_mutex);
    const int tenth = progress.value == 0 ? 0 : progress.percent / 10 + 1;
    int& last = m_lastTenth[port];
    if (tenth <= last)
        return;
    last = tenth;
    PrintLine(m_out, port,
              QStringLiteral("%1 % (%2/%3 steps, %4 elapsed)")
                  .arg(progress.percent)
                  .arg(progress.value)
                  .arg(progress.maximum)
                  .arg(FormatDuration(progress.elapsedMs)));
}

void StationLog::Message(const QString& port, const MessageBoxText& box)
{
    const std::lock_guard lock(m_mutex);
    PrintLine(m_err, port, MessageLine(box));
}

// Every try's outcome, so that a retried download shows why it was tried again; an outcome
// without a port is the load stage's, which ends the station.
void StationLog::Outcome(const FlashSummary& summary)
{
    const std::lock_guard lock(m_mutex);
    if (summary.port.isEmpty())
        PrintLine(m_err, QString(), summary.detail);
    else
        PrintLine(m_out, QString(), SummaryLine(summary));
}

void StationLog::Finish()
{
    m_output.Close();
}

void StationLog::Watching(const QString& folder, bool folderExists)
{
    const std::lock_guard lock(m_mutex);
    PrintLine(m_out, QString(), WatchingText(folder, folderExists));
}

void StationLog::LeftAlone(const QString& port)
{
    const std::lock_guard lock(m_mutex);
    PrintLine(m_out, port, LeftAloneText());
}

void StationLog::Plugged(const QString& port, const QString& serialNumber)
{
    const std::lock_guard lock(m_mutex);
    m_lastTenth.erase(port);
    PrintLine(m_out, port, PluggedText(serialNumber));
}

void StationLog::Started(const QString&) {}

void StationLog::Ended(const FlashSummary&, const StationCounts&)
{
    // Its last try's outcome is the port's.
}

void StationLog::Unplugged(const QString& port)
{
    const std::lock_guard lock(m_mutex);
    PrintLine(m_out, port, UnpluggedText());
}

void StationLog::Stopped(const StationCounts& counts)
{
    const std::lock_guard lock(m_mutex);
    PrintLine(m_out, QString(), StoppedText(counts));
    m_output.Close();
}

void StationLog::PrintLine(std::FILE* stream, const QString& port, const QString& text)
{
    QString line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss "));
    if (!port.isEmpty())
        line += port + QStringLiteral(": ");
    m_output.Write(stream, (line + text + QLatin1Char('\n')).toLocal8Bit());
}
