#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// Writes a small S-record firmware file: S2 records of 32 bytes over each range, then S9.
struct FirmwareRange
{
    int32_t address;
    int32_t length;
};
void WriteFirmwareFile(const QString& path, const std::vector<FirmwareRange>& ranges);

// The byte the file holds at an address inside one of its ranges.
uint8_t FirmwareByteAt(int32_t address);
