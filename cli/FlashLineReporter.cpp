#include "FlashReporter.h"

#include <QStringList>

#include <chrono>
#include <map>
#include <mutex>

namespace {

constexpr int kBarWidth = 24;
// Progress redraws at most this often; status changes redraw at once.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

// The runs of norvane-flash flash as lines of text.
// Live, on a terminal that moves its cursor: one line per port at the bottom, redrawn in
// place, with the port's status or, while it programs, a bar with percentage, steps, elapsed
// and remaining time; shared lines (the load stage, message boxes) scroll above them.
// Plain, for pipes, logs and dumb terminals: every status, a progress line every tenth of
// the way, message boxes on the error stream.
// Both end with one summary line per port. Lines name their port when several ports run.
class LineReporter : public FlashReporter
{
public:
    LineReporter(const QStringList& ports, OutputQueue& out, bool live, int width)
        : m_ports(ports), m_out(out), m_live(live), m_width(width)
    {
    }

    void Status(const QString& port, const QString& text) override
    {
        const std::lock_guard lock(m_mutex);
        if (!m_live || port.isEmpty()) {
            if (!text.isEmpty())
                Print(stdout, WithPort(port, text));
            return;
        }
        PortLine& line = m_lines[port];
        if (!text.isEmpty())
            line = {text, false, {}, -1};
        Redraw();
    }

    void FileState(const QString&, const QString&) override {} // the CRC is in the status

    void Progress(const QString& port, const FlashProgress& progress) override
    {
        const std::lock_guard lock(m_mutex);
        PortLine& line = m_lines[port];
        line.programming = true;
        line.progress = progress;
        if (m_live) {
            if (progress.value == 0 || progress.value >= progress.maximum ||
                std::chrono::steady_clock::now() - m_lastDraw >= kRedrawInterval)
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

    void Message(const QString& port, const MessageBoxText& box) override
    {
        const std::lock_guard lock(m_mutex);
        Print(m_live ? stdout : stderr, WithPort(port, MessageLine(box)));
    }

    void Outcome(const FlashSummary& summary) override
    {
        const std::lock_guard lock(m_mutex);
        m_lines[summary.port] = {SummaryLine(summary).mid(summary.port.size() + 2), false, {}, -1};
        m_summaries[summary.port] = summary;
        if (m_live)
            Redraw();
    }

    void Finish() override
    {
        const std::lock_guard lock(m_mutex);
        QByteArray text = m_live ? EraseLines() : QByteArray();
        for (const QString& port : QStringList(QString()) + m_ports) {
            const auto found = m_summaries.find(port);
            if (found != m_summaries.end())
                text += SummaryLine(found->second).toUtf8() + '\n';
        }
        m_out.Write(stdout, text);
    }

private:
    struct PortLine
    {
        QString status;
        bool programming = false;
        FlashProgress progress;
        int tenthShown = -1; // plain: the last tenth of the way printed
    };

    QString WithPort(const QString& port, const QString& text) const
    {
        return m_ports.size() > 1 && !port.isEmpty() ? port + QStringLiteral(": ") + text : text;
    }

    void Print(std::FILE* stream, const QString& text)
    {
        m_out.Write(stream, (m_live ? EraseLines() : QByteArray()) + text.toUtf8() + '\n');
        if (m_live)
            Redraw();
    }

    void Redraw()
    {
        QByteArray text = EraseLines();
        for (const QString& port : m_ports)
            text += Render(port, m_lines[port]).left(m_width - 1).toUtf8() + '\n';
        m_linesDrawn = static_cast<int>(m_ports.size());
        m_lastDraw = std::chrono::steady_clock::now();
        m_out.Write(stdout, text);
    }

    // Moves the cursor back to the first port line and clears from there to the end.
    QByteArray EraseLines()
    {
        QByteArray text = m_linesDrawn > 0 ? "\x1b[" + QByteArray::number(m_linesDrawn) + 'A' : "";
        m_linesDrawn = 0;
        return text + "\r\x1b[J";
    }

    static QString Render(const QString& port, const PortLine& line)
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

    QStringList m_ports;
    OutputQueue& m_out;
    bool m_live;
    int m_width;
    std::mutex m_mutex;
    std::map<QString, PortLine> m_lines;
    std::map<QString, FlashSummary> m_summaries;
    int m_linesDrawn = 0;
    std::chrono::steady_clock::time_point m_lastDraw{};
};

} // namespace

std::unique_ptr<FlashReporter> MakeLineReporter(const QStringList& ports, OutputQueue& out,
                                                bool live, int width)
{
    return std::make_unique<LineReporter>(ports, out, live, width);
}
