#pragma once

#include "EventSink.h"
#include "OutputQueue.h"
#include "SinkClock.h"

#include <QTimer>

#include <cstdio>
#include <mutex>
#include <optional>
#include <vector>

// Events on a terminal that moves its cursor: a live table at the bottom, one row per port
// (port, adapter serial number when there is one, state, progress bar and percentage,
// elapsed and remaining time, status or outcome) and, for the station, a footer with the
// counts and the folder watched. The load stage, message boxes, every try's outcome and
// ports coming and going scroll above it as lines with the time of day. The last table stays
// on the screen. Text from outside shows its control characters escaped.
class LiveTableSink : public EventSink
{
public:
    LiveTableSink(OutputQueue& queue, std::FILE* out, const SinkClock& clock = kSystemClock);

    void Status(const QString& port, const QString& text) override;
    void Progress(const QString& port, const RunProgress& progress) override;
    void Message(const QString& port, const MessageBoxText& box) override;
    void Outcome(const TryResult& summary) override;
    void Finish() override;

    void Watching(const QString& folder, bool folderExists) override;
    void Plugged(const QString& port, const QString& serialNumber) override;
    void Started(const QString& port) override;
    void Ended(const TryResult& summary, const StationCounts& counts) override;
    void Unplugged(const QString& port) override;
    void LineLost(const QString& port) override;
    void Stopped(const StationCounts& counts) override;

private:
    enum class RowState
    {
        Waiting,
        Running,
        Done,
        Failed,
        Stopped,
    };

    struct Row
    {
        explicit Row(const QString& name) : port(name) {}

        QString port;
        QString serialNumber; // as shown
        RowState state = RowState::Waiting;
        QString text; // the status while it runs, the outcome once it has ended
        std::optional<RunProgress> progress;
        int64_t startedMs = 0;
        int64_t endedAfterMs = 0;
    };

    std::vector<Row>::iterator Find(const QString& port);
    Row& FindOrAdd(const QString& port);
    void PrintAbove(const QString& port, const QString& text);
    void Redraw(const QByteArray& above = QByteArray());
    QString PortName(const QString& port) const;
    // The table's lines for a terminal of width columns.
    QStringList Render(int width) const;
    QString RowLine(const Row& row, int portWidth, int serialWidth) const;
    QString Footer(qsizetype hidden) const;

    OutputQueue& m_queue;
    std::FILE* m_out;
    const SinkClock& m_clock;
    std::mutex m_mutex;
    std::vector<Row> m_rows;               // in the order plugged in or started
    std::optional<StationCounts> m_counts; // the station's, once it watches
    QString m_folder;                      // the station's
    bool m_watching = false;
    int m_linesDrawn = 0;
    int64_t m_lastDrawMs = 0;
    QTimer m_tick; // moves the elapsed times on while downloads run
};
