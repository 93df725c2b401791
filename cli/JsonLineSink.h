#pragma once

#include "EventSink.h"
#include "OutputQueue.h"

#include <cstdio>

// One JSON object per line for every event, for scripts and production-line software; the
// README lists the events, their keys and the keys' order. The station's own events are
// status events in the words of the plain lines.
class JsonLineSink : public EventSink
{
public:
    JsonLineSink(OutputQueue& queue, std::FILE* out) : m_queue(queue), m_out(out) {}

    void Status(const QString& port, const QString& text) override;
    void FileState(const QString& port, const QString& text) override;
    void Progress(const QString& port, const RunProgress& progress) override;
    void Message(const QString& port, const MessageBoxText& box) override;
    void Outcome(const TryResult& summary) override;

private:
    OutputQueue& m_queue;
    std::FILE* m_out;
};
