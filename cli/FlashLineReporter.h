#pragma once

#include "FlashReporter.h"
#include "OutputQueue.h"

#include <QStringList>

#include <chrono>
#include <map>
#include <mutex>

// The runs of norvane-flash flash as lines of text.
// Live, on a terminal that moves its cursor: one line per port at the bottom, redrawn in
// place, with the port's status or, while it programs, a bar with percentage, steps, elapsed
// and remaining time; shared lines (the load stage, message boxes) scroll above them.
// Plain, for pipes, logs and dumb terminals: every status, a progress line every tenth of
// the way, message boxes on the error stream.
// Both end with one summary line per port. Lines name their port when several ports run.
class FlashLineReporter : public FlashReporter
{
public:
    // live: redraw in place; width: the terminal's columns.
    FlashLineReporter(const QStringList& ports, OutputQueue& out, bool live, int width);

    void Status(const QString& port, const QString& text) override;
    void FileState(const QString&, const QString&) override {} // the CRC is in the status
    void Progress(const QString& port, const FlashProgress& progress) override;
    void Message(const QString& port, const QString& title, const QString& prompt) override;
    void Outcome(const FlashSummary& summary) override;
    void Finish() override;

private:
    struct PortLine
    {
        QString status;
        bool programming = false;
        FlashProgress progress;
        int tenthShown = -1; // plain: the last tenth of the way printed
        bool ended = false;
        FlashSummary summary;
    };

    QString WithPort(const QString& port, const QString& text) const;
    void Print(std::FILE* stream, const QString& text);
    void Redraw();
    QByteArray EraseLines();
    QString Render(const QString& port, const PortLine& line) const;

    QStringList m_ports;
    OutputQueue& m_out;
    bool m_live;
    int m_width;
    std::mutex m_mutex;
    std::map<QString, PortLine> m_lines;
    int m_linesDrawn = 0;
    std::chrono::steady_clock::time_point m_lastDraw{};
};
