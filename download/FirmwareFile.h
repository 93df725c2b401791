#pragma once

#include "FirmwareImage.h"
#include "Host.h"
#include "SRecord.h"

#include <QString>

#include <atomic>
#include <cstdint>

// How reading a firmware file ended.
enum class FirmwareFileResult
{
    Loaded,
    Missing,   // the file cannot be opened for reading (an empty name included)
    NotUsable, // opened, but not a usable S-record file
    Cancelled  // the cancel flag stopped the reading
};

// Reads the S-record file fileName into image and reports the lowest and highest address
// filled. The cancel flag is read between lines; problem, when given, tells why a load failed.
FirmwareFileResult LoadFirmwareFile(const QString& fileName, FirmwareImage& image,
                                    int32_t& startAddr, int32_t& endAddr, Host& host,
                                    const std::atomic<bool>& cancel,
                                    LoadProblem* problem = nullptr);

// CRC-16 and checksum of the application area, 0x3000 to endAddr; both 0 when that is empty.
struct ApplicationChecks
{
    int16_t crc;
    int32_t checksum;
};
ApplicationChecks CalculateApplicationChecks(const FirmwareImage& image, int32_t endAddr);
