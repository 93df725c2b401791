#pragma once

#include "FirmwareFile.h"
#include "FirmwareImage.h"
#include "FlashRecord.h"
#include "FlashReporter.h"
#include "FlashTimeLeft.h"
#include "FlashTrace.h"

#include <QString>

#include <cstdint>

// One port's share of a flash command: the port, and the image loaded once for all ports.
struct FlashJob
{
    QString port;
    const FirmwareImage* image = nullptr;
    int32_t startAddr = 0;
    int32_t endAddr = 0;
    QString fileName;
    const FlashTimeLeft* timeLeft = nullptr;
    FlashReporter* reporter = nullptr;
    FlashTraceLog* trace = nullptr;      // null: no trace
    const FlashRecord* record = nullptr; // null: no record
};

// Opens the port, runs one download on it and closes it again. Runs on the calling thread,
// which needs an event dispatcher of its own (a QThread's). Reports the outcome, appends the
// row of the try to the record, and returns the outcome.
FlashSummary RunFlashJob(const FlashJob& job);

// Why the firmware file cannot be used, after its name: "fw.mot: no such file or not
// readable", "fw.mot: line 12: checksum error" or "fw.mot: unreadable".
QString UnusableFileDetail(const QString& fileName, FirmwareFileResult result,
                           const LoadProblem& problem);
