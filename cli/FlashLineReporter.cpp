#include "FlashLineReporter.h"

namespace {

constexpr int kBarWidth = 24;
// Progress redraws at most this often; status changes redraw at once.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

} // namespace

FlashLineReporter::FlashLineReporter(const QStringList& ports, OutputQueue& out, bool live,
                                     int width)
    : m_ports(ports), m_out(out), m_live(live), m_width(width)
{
}

void FlashLineReporter::Status(const QString& port, const QString& text)
{
    const std::lock_guard lock(m_mutex);
    if (!m_live || port.isEmpty()) {
        if (!text.isEmpty())
            Print(stdout, WithPort(port, text));
        return;
    }
    PortLine& line = m_lines[port];
    if (!text.isEmpty()) {
        line.status = text;
        line.programming = false;
    }
    Redraw();
}

void FlashLineReporter::Progress(const QString& port, const FlashProgress& progress)
{
    const std::lock_guard lock(m_mutex);
    PortLine& line = m_lines[port];
    line.programming = true;
    line.progress = progress;
    if (m_live) {
        const auto now = std::chrono::steady_clock::now();
        if (progress.value == 0 || progress.value >= progress.maximum ||
            now - m_lastDraw >= kRedrawInterval)
            Redraw();
        return;
    }
    const int tenth = progress.percent / 10;
    if (tenth == line.tenthShown)
        return;
    line.tenthShown = tenth;
    Print(stdout, WithPort(port, QStringLiteral("%1 % (%2/%3 steps, %4 elapsed, %5 left)")
                                     .arg(progress.percent)
                                     .arg(progress.value)
                                     .arg(progress.maximum)
                                     .arg(FormatDuration(progress.elapsedMs))
                                     .arg(FormatDuration(progress.remainingMs))));
}

void FlashLineReporter::Message(const QString& port, const QString& title, const QString& prompt)
{
    const std::lock_guard lock(m_mutex);
    Print(m_live ? stdout : stderr, WithPort(port, MessageLine(title, prompt)));
}

void FlashLineReporter::Outcome(const FlashSummary& summary)
{
    const std::lock_guard lock(m_mutex);
    PortLine& line = m_lines[summary.port];
    line.ended = true;
    line.summary = summary;
    line.programming = false;
    line.status = SummaryLine(summary).mid(summary.port.size() + 2);
    if (m_live)
        Redraw();
}

void FlashLineReporter::Finish()
{
    const std::lock_guard lock(m_mutex);
    QByteArray text = m_live ? EraseLines() : QByteArray();
    for (const QString& port : m_ports) {
        const auto found = m_lines.find(port);
        if (found != m_lines.end() && found->second.ended)
            text += SummaryLine(found->second.summary).toUtf8() + '\n';
    }
    m_out.Write(stdout, text);
}

QString FlashLineReporter::WithPort(const QString& port, const QString& text) const
{
    return m_ports.size() > 1 && !port.isEmpty() ? port + QStringLiteral(": ") + text : text;
}

void FlashLineReporter::Print(std::FILE* stream, const QString& text)
{
    if (!m_live) {
        m_out.Write(stream, text.toUtf8() + '\n');
        return;
    }
    m_out.Write(stream, EraseLines() + text.toUtf8() + '\n');
    Redraw();
}

void FlashLineReporter::Redraw()
{
    QByteArray text = EraseLines();
    for (const QString& port : m_ports) {
        const auto found = m_lines.find(port);
        const QString line = Render(port, found == m_lines.end() ? PortLine{} : found->second);
        text += line.left(m_width - 1).toUtf8() + '\n';
    }
    m_linesDrawn = static_cast<int>(m_ports.size());
    m_lastDraw = std::chrono::steady_clock::now();
    m_out.Write(stdout, text);
}

// Moves the cursor back to the first port line and clears from there to the end of the screen.
QByteArray FlashLineReporter::EraseLines()
{
    QByteArray text = m_linesDrawn > 0 ? "\x1b[" + QByteArray::number(m_linesDrawn) + 'A' : "";
    m_linesDrawn = 0;
    return text + "\r\x1b[J";
}

QString FlashLineReporter::Render(const QString& port, const PortLine& line) const
{
    if (!line.programming)
        return port + QStringLiteral("  ") + line.status;
    const FlashProgress& progress = line.progress;
    const int filled = progress.maximum > 0 ? kBarWidth * progress.value / progress.maximum : 0;
    return port + QStringLiteral("  [") + QString(filled, QLatin1Char('#')) +
           QString(kBarWidth - filled, QLatin1Char('-')) +
           QStringLiteral("] %1 %  %2/%3 steps  %4 elapsed  %5 left")
               .arg(progress.percent, 3)
               .arg(progress.value)
               .arg(progress.maximum)
               .arg(FormatDuration(progress.elapsedMs))
               .arg(FormatDuration(progress.remainingMs));
}
