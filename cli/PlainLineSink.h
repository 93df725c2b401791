#pragma once

#include "EventSink.h"
#include "OutputQueue.h"
#include "ProgressText.h"
#include "SinkClock.h"

#include <QStringList>

#include <cstdio>
#include <map>
#include <mutex>

// How a command's plain lines look.
struct PlainLineStyle
{
    bool timeOfDay = false;   // lines start with the time of day (the station's)
    bool namePorts = true;    // lines name their port (flash: only when several ports run)
    QStringList summaryPorts; // flash: one summary line per port at the end, in this order;
                              // empty: every try's outcome as it ends (the station)
};

// Events as plain lines, for pipes, logs and terminals that take no cursor movement: every
// status, a progress line every tenth of the way, message boxes on the error stream, the
// outcomes. Text from outside shows its control characters escaped.
class PlainLineSink : public EventSink
{
public:
    PlainLineSink(OutputQueue& queue, std::FILE* out, std::FILE* err, PlainLineStyle style,
                  const SinkClock& clock = kSystemClock);

    void Status(const QString& port, const QString& text) override;
    void Progress(const QString& port, const RunProgress& progress) override;
    void Message(const QString& port, const MessageBoxText& box) override;
    void Outcome(const TryResult& summary) override;
    void Finish() override;

private:
    void Print(std::FILE* stream, const QString& port, const QString& text);

    OutputQueue& m_queue;
    std::FILE* m_out;
    std::FILE* m_err;
    const PlainLineStyle m_style;
    const SinkClock& m_clock;
    std::mutex m_mutex;
    TenthsOfTheWay m_tenths;
    std::map<QString, TryResult> m_summaries; // flash: each port's last outcome
};
