#pragma once

#include "FlashReporter.h"

#include <QStringList>

#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>

// A live display for a terminal: one line per port at the bottom, redrawn in place, showing
// the port's status or, while it programs, a bar with percentage, steps, elapsed and
// remaining time. Shared lines (the load stage, message boxes, the summary) scroll above it.
class FlashTerminalReporter : public FlashReporter
{
public:
    FlashTerminalReporter(const QStringList& ports, std::FILE* out);

    void Status(const QString& port, const QString& text) override;
    void FileState(const QString& port, const QString& text) override;
    void Progress(const QString& port, int value, int maximum, int percent,
                  int64_t elapsedMs) override;
    void Message(const QString& port, const QString& title, const QString& prompt,
                 int style) override;
    void Outcome(const FlashSummary& summary) override;
    void Finish() override;

private:
    struct PortLine
    {
        QString status;
        bool programming = false;
        int value = 0;
        int maximum = 0;
        int percent = 0;
        int64_t elapsedMs = 0;
    };

    void PrintAbove(const QString& text);
    void Redraw();
    void EraseLines();
    QString Render(const QString& port, const PortLine& line) const;

    QStringList m_ports;
    std::FILE* m_out;
    std::mutex m_mutex;
    std::map<QString, PortLine> m_lines;
    std::map<QString, FlashSummary> m_summaries;
    int m_linesDrawn = 0;
    int m_width;
    std::chrono::steady_clock::time_point m_lastDraw{};
};
