#pragma once

#include "EventSink.h"
#include "FirmwareFile.h"
#include "FirmwareImage.h"
#include "FlashRecord.h"
#include "FlashTimeLeft.h"
#include "FlashTrace.h"

#include <QString>

#include <cstdint>
#include <memory>

// One port's share of a flash command: the port, and the image loaded once for all ports.
struct FlashJob
{
    QString port;
    const FirmwareImage* image = nullptr;
    int32_t startAddr = 0;
    int32_t endAddr = 0;
    QString fileName;
    const FlashTimeLeft* timeLeft = nullptr;
    EventSink* reporter = nullptr;
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

// The firmware file a command loads once for all its ports.
struct LoadedFirmware
{
    FirmwareFileResult result = FirmwareFileResult::Missing;
    std::unique_ptr<FirmwareImage> image = std::make_unique<FirmwareImage>();
    int32_t startAddr = 0;
    int32_t endAddr = 0;
    QString detail; // when the file cannot be used: UnusableFileDetail
};

// Loads fileName for every port of a command; a stop signal cancels the loading. Reports the
// loading status and, when the file cannot be used, the message box the window would show.
LoadedFirmware LoadFirmwareForPorts(const QString& fileName, EventSink& reporter);
