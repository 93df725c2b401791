#pragma once

#include "DownloadPlan.h"
#include "FailureReason.h"
#include "FirmwareImage.h"
#include "Host.h"
#include "SRecord.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

// One load of a firmware file and everything a download, a dry run, info and the record take
// from it, worked out once: the image, the loaded range, the CRC and checksum of the
// application area, the plan, the file's SHA-256 and the first overlap of two records; or,
// when it did not load, why.
struct Firmware
{
    enum class State
    {
        Loaded,
        Missing,   // the file cannot be opened for reading (an empty name included)
        NotUsable, // opened, but not a usable S-record file
        Cancelled, // the cancel flag stopped the reading
    };

    QString fileName;
    State state = State::Missing;
    SRecordResult loaderResult = SRecordResult::Failed; // the loader's own result code
    LoadProblem problem;                                // why it did not load
    std::optional<SRecordOverlap> overlap;

    // Set once loaded.
    std::shared_ptr<const FirmwareImage> image;
    int32_t start = 0; // the lowest address filled
    int32_t end = 0;   // the highest address filled
    int16_t crc = 0;   // of the application area, as panel 2 shows it
    int32_t checksum = 0;
    DownloadPlan plan;
    QString sha256; // of the file's bytes, lower-case hex; empty when it cannot be read

    bool Loaded() const { return state == State::Loaded; }
    // The failure a run that found the file so ends with; kind None when it loaded or the
    // load was cancelled.
    FailureReason Failure() const;
    // Why the file cannot be used, after its name: "fw.mot: cannot be opened for reading
    // (missing)", "fw.mot: line 12: checksum error", "fw.mot: unreadable". Empty when it loaded.
    QString ProblemText() const;
};

// Loads the S-record file fileName as a download does. The cancel flag is read between
// lines, and the host lets events run after each line.
std::shared_ptr<const Firmware> LoadFirmware(const QString& fileName, Host& host,
                                             const std::atomic<bool>& cancel);

// The firmware of an image already in memory, filled from start to end, as if loaded from
// fileName: its checks, plan and SHA-256 worked out.
std::shared_ptr<const Firmware> FirmwareOf(const FirmwareImage& image, int32_t start, int32_t end,
                                           const QString& fileName = QString());

// The CRC-16 and checksum of the application area, 0x3000 to endAddr; both 0 when that is
// empty.
struct ApplicationChecks
{
    int16_t crc;
    int32_t checksum;
};
ApplicationChecks CalculateApplicationChecks(const FirmwareImage& image, int32_t endAddr);
