#pragma once

#include "OutputQueue.h"
#include "StationReporter.h"

#include <cstdio>
#include <map>
#include <mutex>

// The station in plain lines, for logs and pipes: each line starts with the time of day and
// names its port; progress every tenth of the way; message boxes on the error stream. Lines
// are written by the output's own thread: a reader that stalls never holds up a download.
class StationLog : public StationReporter
{
public:
    StationLog(std::FILE* out, std::FILE* err);

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
    void PrintLine(std::FILE* stream, const QString& port, const QString& text);

    std::FILE* m_out;
    std::FILE* m_err;
    OutputQueue m_output;
    std::mutex m_mutex;
    std::map<QString, int> m_lastTenth; // the last tenth of the way printed, per port
};
