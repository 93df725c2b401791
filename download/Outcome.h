#pragma once

#include "FailureReason.h"

#include <QString>
#include <QStringList>

#include <optional>

// How a run on one port ended. The outcome table (Outcome.cpp) gives each its stable word,
// its phrase for people, its exit code and its rank, and each failure kind its word, its
// sentence and the outcome it leads to. Every program reads outcomes from there.
enum class Outcome
{
    Downloaded,           // verified by the device, or no header was due
    Failed,               // a command or the verify did not succeed, or the line was lost
    Cancelled,            // cancelled by the user or a stop signal (any stage)
    FileUnusable,         // missing, unreadable or not a usable S-record file
    PortUnavailable,      // the port cannot be opened
    BootloaderNotStarted, // the device never reported its bootloader ready
};

// "downloaded", "failed", "cancelled", "file-unusable", "port-unavailable",
// "bootloader-not-started": the words of JSON output, the record and history --outcome.
QString OutcomeWord(Outcome outcome);
// "downloaded", "download failed", "port cannot be opened", ...: the words of plain output.
QString OutcomePhrase(Outcome outcome);
// The exit code of norvane-flash for a run that ended so: 0 to 5.
int OutcomeExitCode(Outcome outcome);
// The outcome whose word is given; nothing for any other text.
std::optional<Outcome> OutcomeFromWord(const QString& word);
// Every outcome word, in the order of the table.
QStringList OutcomeWords();
// The outcome that left the device in the worse state: failed before cancelled before
// bootloader-not-started, port-unavailable, file-unusable, and downloaded last.
Outcome WorseOutcome(Outcome a, Outcome b);

// The outcome a failure leads to.
Outcome OutcomeOf(FailureKind kind);
// A stable word for scripts: "no-reply", "wrong-reply", "verify-refused", "line-lost",
// "no-device", "permission-denied", "port-busy", "not-a-serial-port", "port-unusable",
// "bootloader-not-started", "file-missing", "file-not-usable"; empty for None.
QString ReasonWord(FailureKind kind);
// Every reason word, in the order of the table.
QStringList ReasonWords();
// The reason as a sentence, e.g. "Reply 1 to the program command at 0x003080 did not come
// within 7.5 s."
QString ReasonText(const FailureReason& reason);
// Whether a try that failed so is worth starting again from the beginning: the line or the
// device misbehaved, rather than the file, the port or the device's judgement of the image.
bool WorthRetrying(FailureKind kind);

// The command's name as the sentences and JSON use it: "erase", "program",
// "erase-and-program", "header".
QString CommandName(uint8_t command);
