#pragma once

#include <QString>

// What to print of a firmware file.
enum class FirmwareReport
{
    Facts, // norvane-flash info: range, CRC, checksum, steps, blocks, header, least time
    Plan,  // norvane-flash flash --dry-run: the commands a download would send, one a line
};

// Loads fileName as a download does and prints the report as text, or as one JSON object with
// json, without opening any port. Returns the exit code: 0, or 3 when the file cannot be used.
int PrintFirmware(const QString& fileName, FirmwareReport report, bool json);
