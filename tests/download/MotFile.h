#pragma once

#include "FirmwareImage.h"
#include "SRecordText.h"

#include <QString>

#include <vector>

// Firmware images for the download tests and the S-record files that carry them.
using srecords::AddressRange;
using srecords::PatternImage;

// Writes the ranges of image as S2 records of up to 32 bytes, then an S9 record.
void WriteMotFile(const QString& fileName, const FirmwareImage& image,
                  const std::vector<AddressRange>& ranges);
