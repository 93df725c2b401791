#pragma once

#include "FlashReporter.h"

#include <QJsonObject>

#include <cstdio>
#include <mutex>

// One JSON object per line for every event, for scripts and production-line software:
//   {"event":"status","port":"/dev/ttyUSB0","text":"Attempting to start BootLoader..."}
//   {"event":"file","port":...,"text":"File: CRC - 1A2Bh"}
//   {"event":"progress","port":...,"value":12,"maximum":98,"percent":12,"elapsed_ms":...,
//    "remaining_ms":...}
//   {"event":"message","port":...,"title":...,"text":...,"style":48}
//   {"event":"outcome","port":...,"outcome":"downloaded","exit_code":0,"verified":true,
//    "detail":...,"elapsed_ms":...}
// The shared load stage has "port": null.
class FlashJsonReporter : public FlashReporter
{
public:
    explicit FlashJsonReporter(std::FILE* out);

    void Status(const QString& port, const QString& text) override;
    void FileState(const QString& port, const QString& text) override;
    void Progress(const QString& port, int value, int maximum, int percent,
                  int64_t elapsedMs) override;
    void Message(const QString& port, const QString& title, const QString& prompt,
                 int style) override;
    void Outcome(const FlashSummary& summary) override;
    void Finish() override;

private:
    void Emit(const QString& event, const QString& port, QJsonObject fields);

    std::FILE* m_out;
    std::mutex m_mutex;
};
