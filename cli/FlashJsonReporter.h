#pragma once

#include "FlashReporter.h"
#include "OutputQueue.h"

#include <QJsonObject>

// One JSON object per line for every event, for scripts and production-line software; the
// README lists the events and their keys. The shared load stage has "port": null.
class FlashJsonReporter : public FlashReporter
{
public:
    explicit FlashJsonReporter(OutputQueue& out) : m_out(out) {}

    void Status(const QString& port, const QString& text) override;
    void FileState(const QString& port, const QString& text) override;
    void Progress(const QString& port, const FlashProgress& progress) override;
    void Message(const QString& port, const QString& title, const QString& prompt) override;
    void Outcome(const FlashSummary& summary) override;
    void Finish() override {}

private:
    void Emit(const QString& event, const QString& port, QJsonObject fields);

    OutputQueue& m_out;
};
