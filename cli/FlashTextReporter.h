#pragma once

#include "FlashReporter.h"

#include <QStringList>

#include <cstdio>
#include <map>
#include <mutex>

// Plain lines for logs and pipes: every status, a progress line every tenth of the way,
// message boxes on the error stream, a summary line per port at the end. Lines carry their
// port when several ports run.
class FlashTextReporter : public FlashReporter
{
public:
    FlashTextReporter(const QStringList& ports, std::FILE* out, std::FILE* err);

    void Status(const QString& port, const QString& text) override;
    void FileState(const QString& port, const QString& text) override;
    void Progress(const QString& port, int value, int maximum, int percent,
                  int64_t elapsedMs) override;
    void Message(const QString& port, const QString& title, const QString& prompt,
                 int style) override;
    void Outcome(const FlashSummary& summary) override;
    void Finish() override;

private:
    void PrintLine(std::FILE* stream, const QString& port, const QString& text);

    QStringList m_ports;
    std::FILE* m_out;
    std::FILE* m_err;
    std::mutex m_mutex;
    std::map<QString, int> m_lastTenth; // the last tenth of the way printed, per port
    std::map<QString, FlashSummary> m_summaries;
};

// The summary line of one port, shared by the text and terminal displays.
QString SummaryLine(const FlashSummary& summary);
