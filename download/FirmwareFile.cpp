#include "FirmwareFile.h"

#include "Bootloader.h"
#include "Crc16.h"
#include "Files.h"

#include <filesystem>

FirmwareFileResult LoadFirmwareFile(const QString& fileName, FirmwareImage& image,
                                    int32_t& startAddr, int32_t& endAddr, Host& host,
                                    const std::atomic<bool>& cancel, LoadProblem* problem)
{
    const std::filesystem::path path(fileName.toStdU16String());
    if (fileName.isEmpty() || !FileExists(path))
        return FirmwareFileResult::Missing;
    const SRecordLoad load = LoadSRecordFile(path, image, host, cancel);
    if (load.rangeRead) {
        startAddr = load.startAddr;
        endAddr = load.endAddr;
    }
    if (problem)
        *problem = load.problem;
    if (cancel)
        return FirmwareFileResult::Cancelled;
    return load.result == SRecordResult::Ok ? FirmwareFileResult::Loaded
                                            : FirmwareFileResult::NotUsable;
}

ApplicationChecks CalculateApplicationChecks(const FirmwareImage& image, int32_t endAddr)
{
    const int32_t last = endAddr < kLastImageAddress ? endAddr : kLastImageAddress;
    return {static_cast<int16_t>(CalculateCrc(image.data(), kApplicationStart, last)),
            CalculateChecksum(image.data(), kApplicationStart, last)};
}
