#pragma once

#include <QString>

#include <cstdint>

// How one port's run ended, for the summary at the end.
struct FlashSummary
{
    QString port;
    int exitCode = 0;
    QString outcome; // a short word: "downloaded", "failed", ...
    QString detail;  // what the user should know, in words
    bool verified = false;
    int64_t elapsedMs = 0;
};

// Where the runs of norvane-flash flash show what happens. Called from every port's worker
// thread at once; implementations serialise their output. An empty port stands for the
// shared load stage, before any port runs.
class FlashReporter
{
public:
    virtual ~FlashReporter() = default;

    virtual void Status(const QString& port, const QString& text) = 0;
    virtual void FileState(const QString& port, const QString& text) = 0;
    // After every step; elapsedMs counts from the start of programming.
    virtual void Progress(const QString& port, int value, int maximum, int percent,
                          int64_t elapsedMs) = 0;
    // A message box the window would show (the command line answers it by itself).
    virtual void Message(const QString& port, const QString& title, const QString& prompt,
                         int style) = 0;
    virtual void Outcome(const FlashSummary& summary) = 0;
    // Every run has ended: show the summary.
    virtual void Finish() = 0;
};

// "mm:ss", or "h:mm:ss" from an hour on.
QString FormatDuration(int64_t ms);
// Estimated time left after value of maximum steps took elapsedMs; -1 when unknown.
int64_t RemainingMs(int value, int maximum, int64_t elapsedMs);
// A message box prompt on one line: its line breaks become spaces.
QString OneLine(const QString& prompt);
// "Title: prompt", or the prompt alone when the box has no title of its own.
QString MessageLine(const QString& title, const QString& prompt);
