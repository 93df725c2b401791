#include "FlashTerminalReporter.h"

#include "FlashConsole.h"
#include "FlashTextReporter.h"

namespace {
constexpr int kBarWidth = 24;
// Progress redraws at most this often; status changes redraw at once.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
} // namespace

FlashTerminalReporter::FlashTerminalReporter(const QStringList& ports, std::FILE* out)
    : m_ports(ports), m_out(out), m_width(TerminalWidth(out))
{
}

void FlashTerminalReporter::Status(const QString& port, const QString& text)
{
    const std::lock_guard lock(m_mutex);
    if (port.isEmpty()) {
        if (!text.isEmpty())
            PrintAbove(text);
        return;
    }
    PortLine& line = m_lines[port];
    if (!text.isEmpty()) {
        line.status = text;
        line.programming = false;
    }
    Redraw();
}

void FlashTerminalReporter::FileState(const QString&, const QString&) {}

void FlashTerminalReporter::Progress(const QString& port, int value, int maximum, int percent,
                                     int64_t elapsedMs)
{
    const std::lock_guard lock(m_mutex);
    PortLine& line = m_lines[port];
    line.programming = true;
    line.value = value;
    line.maximum = maximum;
    line.percent = percent;
    line.elapsedMs = elapsedMs;
    const auto now = std::chrono::steady_clock::now();
    if (value < maximum && now - m_lastDraw < kRedrawInterval)
        return;
    Redraw();
}

void FlashTerminalReporter::Message(const QString& port, const QString& title,
                                    const QString& prompt, int)
{
    const std::lock_guard lock(m_mutex);
    const QString text = MessageLine(title, prompt);
    PrintAbove(m_ports.size() > 1 ? port + QStringLiteral(": ") + text : text);
}

void FlashTerminalReporter::Outcome(const FlashSummary& summary)
{
    const std::lock_guard lock(m_mutex);
    m_summaries[summary.port] = summary;
    PortLine& line = m_lines[summary.port];
    line.programming = false;
    line.status = SummaryLine(summary).mid(summary.port.size() + 2);
    Redraw();
}

void FlashTerminalReporter::Finish()
{
    const std::lock_guard lock(m_mutex);
    EraseLines();
    for (const QString& port : m_ports) {
        const auto found = m_summaries.find(port);
        if (found != m_summaries.end())
            std::fprintf(m_out, "%s\n", qPrintable(SummaryLine(found->second)));
    }
    std::fflush(m_out);
}

void FlashTerminalReporter::PrintAbove(const QString& text)
{
    EraseLines();
    std::fprintf(m_out, "%s\n", qPrintable(text));
    Redraw();
}

void FlashTerminalReporter::Redraw()
{
    EraseLines();
    for (const QString& port : m_ports) {
        const auto found = m_lines.find(port);
        const QString line = Render(port, found == m_lines.end() ? PortLine{} : found->second);
        std::fprintf(m_out, "%s\n", qPrintable(line.left(m_width - 1)));
    }
    m_linesDrawn = static_cast<int>(m_ports.size());
    m_lastDraw = std::chrono::steady_clock::now();
    std::fflush(m_out);
}

// Moves the cursor back to the first port line and clears from there to the end of the screen.
void FlashTerminalReporter::EraseLines()
{
    if (m_linesDrawn > 0)
        std::fprintf(m_out, "\x1b[%dA", m_linesDrawn);
    std::fprintf(m_out, "\r\x1b[J");
    m_linesDrawn = 0;
}

QString FlashTerminalReporter::Render(const QString& port, const PortLine& line) const
{
    if (!line.programming)
        return port + QStringLiteral("  ") + line.status;
    const int filled = line.maximum > 0 ? kBarWidth * line.value / line.maximum : 0;
    QString text = port + QStringLiteral("  [") + QString(filled, QLatin1Char('#')) +
                   QString(kBarWidth - filled, QLatin1Char('-')) +
                   QStringLiteral("] %1 %  %2/%3 steps  %4 elapsed")
                       .arg(line.percent, 3)
                       .arg(line.value)
                       .arg(line.maximum)
                       .arg(FormatDuration(line.elapsedMs));
    const int64_t remaining = RemainingMs(line.value, line.maximum, line.elapsedMs);
    if (remaining >= 0)
        text += QStringLiteral("  %1 left").arg(FormatDuration(remaining));
    return text;
}
