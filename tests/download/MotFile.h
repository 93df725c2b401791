#pragma once

#include "FirmwareImage.h"

#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

// Firmware images for the download tests and the S-record files that carry them.
struct AddressRange
{
    int32_t first;
    int32_t last; // inclusive
};

// An image filled with a recognisable non-0xFF pattern over the given ranges, 0xFF elsewhere.
FirmwareImage PatternImage(const std::vector<AddressRange>& ranges);

// Writes the ranges of image as S2 records of up to 32 bytes, then an S9 record.
void WriteMotFile(const QString& fileName, const FirmwareImage& image,
                  const std::vector<AddressRange>& ranges);
