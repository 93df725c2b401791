#include "StationTable.h"

#include <QFileInfo>
#include <QTime>

#include <algorithm>

namespace {

constexpr int kBarWidth = 20;
constexpr int kPortWidthMax = 40;
constexpr int kSerialWidthMax = 16;
constexpr int kTickMs = 1000;
// Progress redraws at most this often; other changes redraw at once.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

const char* StateWord(int state)
{
    static const char* const kWords[] = {"waiting", "running", "done", "failed", "stopped"};
    return kWords[state];
}

QString Bar(int percent)
{
    if (percent < 0)
        return QString(kBarWidth + 8, QLatin1Char(' '));
    const int filled = kBarWidth * percent / 100;
    return QStringLiteral("[") + QString(filled, QLatin1Char('#')) +
           QString(kBarWidth - filled, QLatin1Char('-')) + QStringLiteral("] %1 %").arg(percent, 3);
}

QString Cell(const QString& text, int width)
{
    return text.left(width).leftJustified(width);
}

} // namespace

StationTable::StationTable(std::FILE* out, std::FILE* err) : m_out(out), m_err(err)
{
    m_tick.setInterval(kTickMs);
    QObject::connect(&m_tick, &QTimer::timeout, [this] {
        const std::lock_guard lock(m_mutex);
        Redraw();
    });
}

void StationTable::Status(const QString& port, const QString& text)
{
    if (text.isEmpty())
        return;
    const std::lock_guard lock(m_mutex);
    const auto row = m_rows.find(port);
    if (row == m_rows.end()) {
        PrintAbove(port, text);
        return;
    }
    row->second.text = text;
    Redraw();
}

void StationTable::FileState(const QString&, const QString&) {}

void StationTable::Progress(const QString& port, const FlashProgress& progress)
{
    const int percent = progress.percent;
    const std::lock_guard lock(m_mutex);
    const auto row = m_rows.find(port);
    if (row == m_rows.end())
        return;
    row->second.percent = percent;
    if (percent < 100 && std::chrono::steady_clock::now() - m_lastDraw < kRedrawInterval)
        return;
    Redraw();
}

void StationTable::Message(const QString& port, const MessageBoxText& box)
{
    const std::lock_guard lock(m_mutex);
    PrintAbove(port, MessageLine(box));
}

// Every try's outcome scrolls above the table, so that a retried download shows why it was
// tried again; the row shows the last. An outcome without a port is the load stage's, which
// ends the station.
void StationTable::Outcome(const FlashSummary& summary)
{
    const std::lock_guard lock(m_mutex);
    if (!summary.port.isEmpty()) {
        PrintAbove(QString(), SummaryLine(summary));
        return;
    }
    m_output.Write(m_out, EraseLines());
    m_output.Write(m_err, (summary.detail + QLatin1Char('\n')).toLocal8Bit());
}

void StationTable::Finish()
{
    m_output.Close();
}

void StationTable::Watching(const QString& folder, bool folderExists)
{
    const std::lock_guard lock(m_mutex);
    m_folder = folder;
    PrintAbove(QString(), WatchingText(folder, folderExists));
}

void StationTable::LeftAlone(const QString& port)
{
    const std::lock_guard lock(m_mutex);
    PrintAbove(port, LeftAloneText());
}

void StationTable::Plugged(const QString& port, const QString& serialNumber)
{
    const std::lock_guard lock(m_mutex);
    if (!m_order.contains(port))
        m_order.append(port);
    Row& row = m_rows[port];
    row = Row{};
    row.serialNumber = serialNumber;
    ++m_counts.waiting;
    Redraw();
}

void StationTable::Started(const QString& port)
{
    const std::lock_guard lock(m_mutex);
    Row& row = m_rows[port];
    row.state = RowState::Running;
    row.clock.start();
    --m_counts.waiting;
    ++m_counts.running;
    m_tick.start();
    Redraw();
}

void StationTable::Ended(const FlashSummary& summary, const StationCounts& counts)
{
    const std::lock_guard lock(m_mutex);
    m_counts = counts;
    Row& row = m_rows[summary.port];
    row.state = summary.run.outcome == ::Outcome::Downloaded  ? RowState::Done
                : summary.run.outcome == ::Outcome::Cancelled ? RowState::Stopped
                                                              : RowState::Failed;
    FlashSummary withoutTime = summary; // the elapsed time has a column of its own
    withoutTime.elapsedMs = 0;
    row.text = SummaryLine(withoutTime).mid(summary.port.size() + 2);
    row.endedAfterMs = row.clock.isValid() ? row.clock.elapsed() : 0;
    if (counts.running == 0)
        m_tick.stop();
    Redraw();
}

void StationTable::Unplugged(const QString& port)
{
    const std::lock_guard lock(m_mutex);
    const auto row = m_rows.find(port);
    if (row != m_rows.end() && row->second.state == RowState::Waiting)
        --m_counts.waiting;
    m_rows.erase(port);
    m_order.removeAll(port);
    PrintAbove(port, UnpluggedText());
}

void StationTable::Stopped(const StationCounts& counts)
{
    const std::lock_guard lock(m_mutex);
    m_counts = counts;
    m_folder.clear(); // watching no more
    m_tick.stop();
    Redraw();
    m_linesDrawn = 0; // the last table stays on the screen
    m_output.Write(m_out, (StoppedText(counts) + QLatin1Char('\n')).toLocal8Bit());
    m_output.Close();
}

void StationTable::PrintAbove(const QString& port, const QString& text)
{
    QString line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss "));
    if (!port.isEmpty())
        line += port + QStringLiteral(": ");
    Redraw((line + text + QLatin1Char('\n')).toLocal8Bit());
}

// Writes the table anew in one piece, after the line to scroll above it, if any.
void StationTable::Redraw(const QByteArray& above)
{
    QByteArray bytes = EraseLines() + above;
    const QStringList lines = Render();
    const int width = TerminalWidth(m_out); // read anew: the terminal may have been resized
    for (const QString& line : lines)
        bytes += (line.left(width - 1) + QLatin1Char('\n')).toLocal8Bit();
    m_linesDrawn = static_cast<int>(lines.size());
    m_lastDraw = std::chrono::steady_clock::now();
    m_output.Write(m_out, bytes);
}

// Moves the cursor back to the table's first line and clears from there to the end.
QByteArray StationTable::EraseLines()
{
    QByteArray bytes;
    if (m_linesDrawn > 0)
        bytes = "\x1b[" + QByteArray::number(m_linesDrawn) + 'A';
    m_linesDrawn = 0;
    return bytes + "\r\x1b[J";
}

QStringList StationTable::Render() const
{
    int portWidth = 4;
    int serialWidth = 7;
    for (const QString& port : m_order) {
        portWidth = std::max(portWidth, static_cast<int>(QFileInfo(port).fileName().size()));
        serialWidth = std::max(serialWidth, static_cast<int>(m_rows.at(port).serialNumber.size()));
    }
    portWidth = std::min(portWidth, kPortWidthMax);
    serialWidth = std::min(serialWidth, kSerialWidthMax);

    // Rows beyond the terminal's height would scroll away and break the redraw: the oldest
    // ended rows give way first, then the oldest others.
    QStringList shown = m_order;
    const int rowsRoom = std::max(1, TerminalHeight(m_out) - 3);
    for (qsizetype i = 0; i < shown.size() && shown.size() > rowsRoom;) {
        const RowState state = m_rows.at(shown[i]).state;
        if (state != RowState::Waiting && state != RowState::Running)
            shown.removeAt(i);
        else
            ++i;
    }
    shown = shown.mid(std::max(qsizetype{0}, shown.size() - rowsRoom));
    const qsizetype hidden = m_order.size() - shown.size();

    const QString gap = QStringLiteral("  ");
    QStringList lines;
    lines.append(Cell(QStringLiteral("PORT"), portWidth) + gap +
                 Cell(QStringLiteral("ADAPTER"), serialWidth) + gap +
                 Cell(QStringLiteral("STATE"), 7) + gap +
                 Cell(QStringLiteral("PROGRESS"), kBarWidth + 8) + gap + QStringLiteral("ELAPSED") +
                 gap + QStringLiteral("OUTCOME"));
    for (const QString& port : shown) {
        const Row& row = m_rows.at(port);
        const int64_t elapsed =
            row.state == RowState::Running ? row.clock.elapsed() : row.endedAfterMs;
        lines.append(
            Cell(QFileInfo(port).fileName(), portWidth) + gap +
            Cell(row.serialNumber.isEmpty() ? QStringLiteral("-") : row.serialNumber, serialWidth) +
            gap + Cell(QString::fromLatin1(StateWord(static_cast<int>(row.state))), 7) + gap +
            Bar(row.percent) + gap +
            Cell(row.state == RowState::Waiting ? QString() : FormatDuration(elapsed), 7) + gap +
            row.text);
    }
    QString footer = CountsText(m_counts);
    if (hidden > 0)
        footer += QStringLiteral(" | %1 more not shown").arg(hidden);
    if (!m_folder.isEmpty())
        footer += QStringLiteral(" | watching ") + m_folder;
    lines.append(footer);
    return lines;
}
