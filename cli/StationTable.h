#pragma once

#include "OutputQueue.h"
#include "StationReporter.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>

// The station on a terminal: a live table at the bottom, one row per port plugged in (port,
// adapter serial number, state, progress bar and percentage, elapsed time, outcome), and a
// footer with the counts and the mean download time. Ports ending, going away and message
// boxes scroll above it as lines with the time of day.
class StationTable : public StationReporter
{
public:
    StationTable(std::FILE* out, std::FILE* err);

    void Status(const QString& port, const QString& text) override;
    void FileState(const QString& port, const QString& text) override;
    void Progress(const QString& port, const FlashProgress& progress) override;
    void Message(const QString& port, const MessageBoxText& box) override;
    void Outcome(const FlashSummary& summary) override;
    void Finish() override;

    void Watching(const QString& folder, bool folderExists) override;
    void LeftAlone(const QString& port) override;
    void Plugged(const QString& port, const QString& serialNumber) override;
    void Started(const QString& port) override;
    void Ended(const FlashSummary& summary, const StationCounts& counts) override;
    void Unplugged(const QString& port) override;
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
        QString serialNumber;
        RowState state = RowState::Waiting;
        QString text; // the status while it runs, the outcome once it has ended
        int percent = -1;
        QElapsedTimer clock;
        int64_t endedAfterMs = 0;
    };

    void PrintAbove(const QString& port, const QString& text);
    void Redraw(const QByteArray& above = QByteArray());
    QByteArray EraseLines();
    QStringList Render() const;

    std::FILE* m_out;
    std::FILE* m_err;
    OutputQueue m_output; // written by a thread of its own: a stalled terminal holds up nothing
    std::mutex m_mutex;
    QStringList m_order; // ports in the order plugged in
    std::map<QString, Row> m_rows;
    StationCounts m_counts;
    QString m_folder;
    int m_linesDrawn = 0;
    std::chrono::steady_clock::time_point m_lastDraw{};
    QTimer m_tick; // moves the elapsed times on while downloads run
};
