#pragma once

#include "Commands.h"
#include "DownloadView.h"
#include "OutputQueue.h"
#include "PortRun.h"
#include "RunResult.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <memory>

// How one port's run ended, and where a port stands after a step of programming.
using FlashSummary = TryResult;
using FlashProgress = RunProgress;

// Where the runs of norvane-flash flash show what happens. Called from every port's worker
// thread at once; implementations serialise their output and never wait for it to be
// written. An empty port stands for the shared load stage, before any port runs.
class FlashReporter : public virtual RunEvents
{
public:
    virtual void Outcome(const FlashSummary& summary) = 0;
    // Every run has ended: show the summary.
    virtual void Finish() = 0;
};

// One JSON object per line for every event (the README lists them), for scripts.
std::unique_ptr<FlashReporter> MakeJsonReporter(OutputQueue& out);
// Lines of text. live: one line per port redrawn in place on a terminal of width columns;
// otherwise plain lines for pipes, logs and dumb terminals.
std::unique_ptr<FlashReporter> MakeLineReporter(const QStringList& ports, OutputQueue& out,
                                                bool live, int width);

// Helpers shared by the reporters of flash and station.
// A message box prompt on one line: its line breaks become spaces.
QString OneLine(const QString& prompt);
// "Title: prompt detail" on one line (the application title when the box has none).
QString MessageLine(const MessageBoxText& box);
// "mm:ss", or "h:mm:ss" from an hour on.
QString FormatDuration(int64_t ms);
// "PORT: phrase - detail (mm:ss)", the elapsed time only when there is one.
QString SummaryLine(const FlashSummary& summary);
// Whether a stream is a terminal that takes cursor movement: not a pipe or a file, and not
// a terminal that asks for plain output (TERM unset or "dumb", or NO_COLOR set).
bool IsLiveTerminal(std::FILE* stream);
// The columns of a terminal, 80 when unknown.
int TerminalWidth(std::FILE* stream);
// The lines of a terminal, 24 when unknown.
int TerminalHeight(std::FILE* stream);
