#pragma once

#include "Commands.h"
#include "DownloadView.h"
#include "FailureReason.h"
#include "OutputQueue.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <memory>

// How one port's run ended, for the outcome event and the summary at the end.
struct FlashSummary
{
    QString port;
    ExitCode exitCode = ExitCode::Ok;
    QString detail; // what the user should know, in words
    bool verified = false;
    int64_t elapsedMs = 0;
    FailureReason reason; // why the run failed: its kind, command, address and codes
};

// Where a port stands after a step of programming.
struct FlashProgress
{
    int value = 0;           // steps done
    int maximum = 0;         // steps in all
    int percent = 0;         // as the window shows it
    int64_t elapsedMs = 0;   // since programming began
    int64_t remainingMs = 0; // estimated from the bytes still to send and receive
};

// Where the runs of norvane-flash flash show what happens. Called from every port's worker
// thread at once; implementations serialise their output and never wait for it to be
// written. An empty port stands for the shared load stage, before any port runs.
class FlashReporter
{
public:
    virtual ~FlashReporter() = default;

    virtual void Status(const QString& port, const QString& text) = 0;
    virtual void FileState(const QString& port, const QString& text) = 0;
    virtual void Progress(const QString& port, const FlashProgress& progress) = 0;
    // A message box the window would show (the command line answers it by itself).
    virtual void Message(const QString& port, const MessageBoxText& box) = 0;
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
