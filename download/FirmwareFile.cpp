#include "FirmwareFile.h"

#include "Bootloader.h"
#include "Crc16.h"
#include "Misc.h"

#include <filesystem>

FirmwareFileResult LoadFirmwareFile(const QString& fileName, FirmwareImage& image,
                                    int32_t& startAddr, int32_t& endAddr, Host& host,
                                    const std::atomic<bool>& cancel, LoadProblem* problem)
{
    const std::filesystem::path path(fileName.toStdU16String());
    if (fileName.isEmpty() || !FileExists(path))
        return FirmwareFileResult::Missing;
    const int16_t result = LoadSRecordFile(path, image, startAddr, endAddr, host, cancel, problem);
    if (cancel)
        return FirmwareFileResult::Cancelled;
    return result == kSRecordOk ? FirmwareFileResult::Loaded : FirmwareFileResult::NotUsable;
}

ApplicationChecks CalculateApplicationChecks(const FirmwareImage& image, int32_t endAddr)
{
    const int32_t last = endAddr < kLastImageAddress ? endAddr : kLastImageAddress;
    return {static_cast<int16_t>(CalculateCrc(image.data(), kApplicationStart, last)),
            CalculateChecksum(image.data(), kApplicationStart, last)};
}
