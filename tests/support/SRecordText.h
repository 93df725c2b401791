#pragma once
// S-record text for every test that needs a firmware file: single records with the count and
// checksum filled in, and whole files that carry ranges of an image.

#include "FirmwareImage.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace srecords {

struct AddressRange
{
    int32_t first;
    int32_t last; // inclusive
};

// One record without its line end. The address takes 2 bytes (S0, S1, S5, S9), 3 (S2, S8) or
// 4 (S3, S7) unless addressBytes says otherwise; the count and the checksum are computed.
std::string Record(int type, uint32_t address, const std::vector<uint8_t>& data,
                   int addressBytes = -1);

// count bytes: first, first + step, first + 2 * step, ...
std::vector<uint8_t> Bytes(std::size_t count, uint8_t first = 0, uint8_t step = 1);

// A recognisable byte for every address, never 0xFF, so no 128-byte step of a range is blank.
uint8_t PatternByte(int32_t address);

// An image holding PatternByte over the given ranges, 0xFF elsewhere.
FirmwareImage PatternImage(const std::vector<AddressRange>& ranges);

struct FileLayout
{
    int type = 2;       // data record type: 1, 2 or 3
    int perRecord = 32; // data bytes per record
    std::string lineEnd = "\r\n";
};

// The ranges of image as data records, then the end record: S9 after S1 and S2 records, S7
// after S3 records.
std::string RecordsOf(const FirmwareImage& image, const std::vector<AddressRange>& ranges,
                      const FileLayout& layout = {});

// Writes text to a file as it is; false if the file cannot be written.
bool WriteTextFile(const std::filesystem::path& file, const std::string& text);

// Writes the file of PatternImage(ranges); false if the file cannot be written.
bool WritePatternFile(const std::filesystem::path& file, const std::vector<AddressRange>& ranges,
                      const FileLayout& layout = {});

} // namespace srecords
