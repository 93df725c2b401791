#include "PlainLineSink.h"

#include "EventTexts.h"
#include "VisibleText.h"

PlainLineSink::PlainLineSink(OutputQueue& queue, std::FILE* out, std::FILE* err,
                             PlainLineStyle style, const SinkClock& clock)
    : m_queue(queue), m_out(out), m_err(err), m_style(std::move(style)), m_clock(clock)
{
}

void PlainLineSink::Status(const QString& port, const QString& text)
{
    if (!text.isEmpty())
        Print(m_out, port, text);
}

void PlainLineSink::Progress(const QString& port, const RunProgress& progress)
{
    const std::lock_guard lock(m_mutex);
    if (!m_tenths.Due(port, progress.value, progress.maximum))
        return;
    Print(m_out, port,
          QStringLiteral("%1 % (%2/%3 steps, %4 elapsed, %5 left)")
              .arg(FlooredPercent(progress.value, progress.maximum))
              .arg(progress.value)
              .arg(progress.maximum)
              .arg(FormatDuration(progress.elapsedMs), FormatDuration(progress.remainingMs)));
}

void PlainLineSink::Message(const QString& port, const MessageBoxText& box)
{
    Print(m_err, port, MessageLine(box));
}

// An outcome without a port is the load stage's, which ends the station.
void PlainLineSink::Outcome(const TryResult& summary)
{
    const std::lock_guard lock(m_mutex);
    if (summary.port.isEmpty())
        Print(m_err, QString(), summary.detail);
    else if (m_style.summaryPorts.isEmpty())
        Print(m_out, QString(), SummaryLine(summary));
    else
        m_summaries[summary.port] = summary;
}

void PlainLineSink::Finish()
{
    const std::lock_guard lock(m_mutex);
    for (const QString& port : m_style.summaryPorts) {
        const auto found = m_summaries.find(port);
        if (found != m_summaries.end())
            Print(m_out, QString(), SummaryLine(found->second));
    }
}

void PlainLineSink::Print(std::FILE* stream, const QString& port, const QString& text)
{
    QString line = m_style.timeOfDay ? m_clock.TimeOfDay() + QLatin1Char(' ') : QString();
    if (m_style.namePorts && !port.isEmpty())
        line += port + QStringLiteral(": ");
    m_queue.Write(stream, (VisibleText(line + text) + QLatin1Char('\n')).toLocal8Bit());
}
