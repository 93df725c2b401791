#include "LiveTableSink.h"

#include "EventTexts.h"
#include "ProgressText.h"
#include "Terminal.h"
#include "VisibleText.h"

#include <algorithm>

namespace {

constexpr int kBarWidth = 20;
constexpr int kProgressWidth = kBarWidth + 8; // "[bar] 100 %"
constexpr int kStateWidth = 7;
constexpr int kElapsedWidth = 7; // "h:mm:ss"
constexpr int kLeftWidth = 5;    // "mm:ss": no download takes an hour
// A port name too long for its column keeps its end, which tells the interfaces of one
// adapter apart: "…-if01-port0".
constexpr int kPortWidthMin = 12;
constexpr int kOutcomeWidthMin = 15; // "download failed"
constexpr int kSerialWidthMax = 16;
constexpr int kTickMs = 1000;
// Progress redraws at most this often; other changes redraw at once.
constexpr int64_t kRedrawIntervalMs = 100;
constexpr int kGapWidth = 2;
const QString kGap(kGapWidth, u' ');

QString Cell(const QString& text, int width)
{
    return text.left(width).leftJustified(width);
}

// A cell whose text, when too long, is cut at the start: "…" and its end.
QString EndCell(const QString& text, int width)
{
    if (text.size() <= width)
        return text.leftJustified(width);
    return QChar(0x2026) + text.right(width - 1);
}

} // namespace

LiveTableSink::LiveTableSink(OutputQueue& queue, std::FILE* out, const SinkClock& clock)
    : m_queue(queue), m_out(out), m_clock(clock)
{
    m_tick.setInterval(kTickMs);
    QObject::connect(&m_tick, &QTimer::timeout, [this] {
        const std::lock_guard lock(m_mutex);
        Redraw();
    });
}

// A status after a try's outcome begins the next try.
void LiveTableSink::Status(const QString& port, const QString& text)
{
    if (text.isEmpty())
        return;
    const std::lock_guard lock(m_mutex);
    const auto row = Find(port);
    if (row == m_rows.end()) {
        PrintAbove(port, text);
        return;
    }
    row->text = text;
    if (row->state != RowState::Waiting)
        row->state = RowState::Running;
    Redraw();
}

void LiveTableSink::Progress(const QString& port, const RunProgress& progress)
{
    const std::lock_guard lock(m_mutex);
    const auto row = Find(port);
    if (row == m_rows.end())
        return;
    row->progress = progress;
    if (progress.value == 0 || progress.value >= progress.maximum ||
        m_clock.Ms() - m_lastDrawMs >= kRedrawIntervalMs)
        Redraw();
}

void LiveTableSink::Message(const QString& port, const MessageBoxText& box)
{
    const std::lock_guard lock(m_mutex);
    PrintAbove(port, MessageLine(box));
}

// An outcome without a port is the load stage's, which ends the station.
void LiveTableSink::Outcome(const TryResult& summary)
{
    const std::lock_guard lock(m_mutex);
    if (summary.port.isEmpty()) {
        PrintAbove(QString(), summary.detail);
        return;
    }
    if (const auto row = Find(summary.port); row != m_rows.end()) {
        row->state = summary.run.outcome == ::Outcome::Downloaded  ? RowState::Done
                     : summary.run.outcome == ::Outcome::Cancelled ? RowState::Stopped
                                                                   : RowState::Failed;
        row->text = OutcomeText(summary); // the elapsed time has a column of its own
        row->endedAfterMs = m_clock.Ms() - row->startedMs;
    }
    PrintAbove(QString(), SummaryLine(summary));
}

void LiveTableSink::Finish()
{
    const std::lock_guard lock(m_mutex);
    m_tick.stop();
    Redraw();
    m_linesDrawn = 0; // the next drawing starts below the table
}

void LiveTableSink::Watching(const QString& folder, bool folderExists)
{
    {
        const std::lock_guard lock(m_mutex);
        m_folder = folder;
        m_watching = true;
        m_counts = m_counts.value_or(StationCounts{});
    }
    EventSink::Watching(folder, folderExists); // a port-less status scrolls above
}

void LiveTableSink::Plugged(const QString& port, const QString& serialNumber)
{
    const std::lock_guard lock(m_mutex);
    Row& row = FindOrAdd(port) = Row(port);
    row.serialNumber = VisibleText(serialNumber);
    if (m_counts)
        ++m_counts->waiting;
    Redraw();
}

void LiveTableSink::Started(const QString& port)
{
    const std::lock_guard lock(m_mutex);
    Row& row = FindOrAdd(port);
    row.state = RowState::Running;
    row.startedMs = m_clock.Ms();
    if (m_counts) {
        --m_counts->waiting;
        ++m_counts->running;
    }
    m_tick.start();
    Redraw();
}

void LiveTableSink::Ended(const TryResult&, const StationCounts& counts)
{
    const std::lock_guard lock(m_mutex);
    m_counts = counts;
    if (counts.running == 0)
        m_tick.stop();
    Redraw();
}

void LiveTableSink::Unplugged(const QString& port)
{
    {
        const std::lock_guard lock(m_mutex);
        const auto row = Find(port);
        if (row != m_rows.end()) {
            if (m_counts && row->state == RowState::Waiting)
                --m_counts->waiting;
            m_rows.erase(row);
        }
    }
    EventSink::Unplugged(port); // the status of a port without a row scrolls above
}

// The row keeps its state and says what the port waits for.
void LiveTableSink::LineLost(const QString& port)
{
    const std::lock_guard lock(m_mutex);
    const auto row = Find(port);
    if (row == m_rows.end())
        return;
    row->text = kLineLostText;
    Redraw();
}

void LiveTableSink::Stopped(const StationCounts& counts)
{
    {
        const std::lock_guard lock(m_mutex);
        m_counts = counts;
        m_watching = false;
    }
    Finish(); // the last table stays on the screen
    m_queue.Write(m_out, (StoppedText(counts) + QLatin1Char('\n')).toLocal8Bit());
}

std::vector<LiveTableSink::Row>::iterator LiveTableSink::Find(const QString& port)
{
    return std::find_if(m_rows.begin(), m_rows.end(),
                        [&port](const Row& row) { return row.port == port; });
}

LiveTableSink::Row& LiveTableSink::FindOrAdd(const QString& port)
{
    const auto row = Find(port);
    return row != m_rows.end() ? *row : m_rows.emplace_back(port);
}

void LiveTableSink::PrintAbove(const QString& port, const QString& text)
{
    QString line = m_clock.TimeOfDay() + QLatin1Char(' ');
    if (!port.isEmpty())
        line += port + QStringLiteral(": ");
    Redraw((VisibleText(line + text) + QLatin1Char('\n')).toLocal8Bit());
}

// Moves the cursor back to the table's first line and clears from there down, then writes the
// line to scroll above the table, if any, and the table anew, in one piece. Each line is cut
// to the terminal's width, read anew: the terminal may have been resized.
void LiveTableSink::Redraw(const QByteArray& above)
{
    QByteArray bytes = m_linesDrawn > 0 ? "\x1b[" + QByteArray::number(m_linesDrawn) + 'A' : "";
    bytes += "\r\x1b[J" + above;
    const int width = TerminalWidth(m_out);
    const QStringList lines = Render(width);
    for (const QString& line : lines)
        bytes += line.left(width - 1).toLocal8Bit() + '\n';
    m_linesDrawn = static_cast<int>(lines.size());
    m_lastDrawMs = m_clock.Ms();
    m_queue.Write(m_out, bytes);
}

// A port as given, a link of the watched folder by its own name.
QString LiveTableSink::PortName(const QString& port) const
{
    const QString folder = m_folder + QLatin1Char('/');
    return VisibleText(!m_folder.isEmpty() && port.startsWith(folder) ? port.mid(folder.size())
                                                                      : port);
}

QStringList LiveTableSink::Render(int width) const
{
    if (m_rows.empty() && !m_counts)
        return {};
    int portWidth = 4;
    int serialWidth = 0; // no column while no adapter reports a serial number
    for (const Row& row : m_rows) {
        portWidth = std::max(portWidth, static_cast<int>(PortName(row.port).size()));
        if (!row.serialNumber.isEmpty())
            serialWidth =
                std::max<int>({serialWidth, 7, static_cast<int>(row.serialNumber.size())});
    }
    serialWidth = std::min(serialWidth, kSerialWidthMax);
    // The port column gets what the terminal's line leaves beside the other columns and the
    // start of the outcome.
    const int otherColumns = (serialWidth > 0 ? serialWidth + kGapWidth : 0) + kStateWidth +
                             kProgressWidth + kElapsedWidth + kLeftWidth + 5 * kGapWidth;
    const int portRoom = width - 1 - otherColumns - kOutcomeWidthMin;
    portWidth = std::min(portWidth, std::max(kPortWidthMin, portRoom));

    // Rows beyond the terminal's height would scroll away and break the redraw: the oldest
    // ended rows give way first, then the oldest others.
    std::vector<const Row*> shown;
    for (const Row& row : m_rows)
        shown.push_back(&row);
    const size_t room = static_cast<size_t>(std::max(1, TerminalHeight(m_out) - 3));
    for (auto row = shown.begin(); row != shown.end() && shown.size() > room;) {
        const RowState state = (*row)->state;
        row = state == RowState::Waiting || state == RowState::Running ? row + 1 : shown.erase(row);
    }
    if (shown.size() > room)
        shown.erase(shown.begin(), shown.end() - static_cast<std::ptrdiff_t>(room));

    QStringList header{Cell(QStringLiteral("PORT"), portWidth)};
    if (serialWidth > 0)
        header << Cell(QStringLiteral("ADAPTER"), serialWidth);
    header << Cell(QStringLiteral("STATE"), kStateWidth)
           << Cell(QStringLiteral("PROGRESS"), kProgressWidth)
           << Cell(QStringLiteral("ELAPSED"), kElapsedWidth)
           << Cell(QStringLiteral("LEFT"), kLeftWidth) << QStringLiteral("OUTCOME");
    QStringList lines{header.join(kGap)};
    for (const Row* row : shown)
        lines.append(RowLine(*row, portWidth, serialWidth));
    const QString footer = Footer(static_cast<qsizetype>(m_rows.size() - shown.size()));
    if (!footer.isEmpty())
        lines.append(footer);
    return lines;
}

QString LiveTableSink::RowLine(const Row& row, int portWidth, int serialWidth) const
{
    static const char* const kStateWords[] = {"waiting", "running", "done", "failed", "stopped"};
    const bool running = row.state == RowState::Running;
    QString elapsed;
    QString left;
    if (row.state != RowState::Waiting)
        elapsed = FormatDuration(running ? m_clock.Ms() - row.startedMs : row.endedAfterMs);
    if (running && row.progress)
        left = FormatDuration(row.progress->remainingMs);
    QStringList cells{EndCell(PortName(row.port), portWidth)};
    if (serialWidth > 0)
        cells << Cell(row.serialNumber.isEmpty() ? QStringLiteral("-") : row.serialNumber,
                      serialWidth);
    cells << Cell(QString::fromLatin1(kStateWords[static_cast<int>(row.state)]), kStateWidth)
          << Cell(row.progress ? ProgressBar(row.progress->value, row.progress->maximum, kBarWidth)
                               : QString(),
                  kProgressWidth)
          << Cell(elapsed, kElapsedWidth) << Cell(left, kLeftWidth) << VisibleText(row.text);
    return cells.join(kGap);
}

// The station's counts, the rows not shown and the folder watched.
QString LiveTableSink::Footer(qsizetype hidden) const
{
    QStringList parts;
    if (m_counts)
        parts.append(CountsText(*m_counts));
    if (hidden > 0)
        parts.append(QStringLiteral("%1 more not shown").arg(hidden));
    if (m_watching)
        parts.append(QStringLiteral("watching ") + VisibleText(m_folder));
    return parts.join(QStringLiteral(" | "));
}
