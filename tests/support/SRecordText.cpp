#include "SRecordText.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace srecords {

std::string Record(int type, uint32_t address, const std::vector<uint8_t>& data, int addressBytes)
{
    if (addressBytes < 0)
        addressBytes = type == 2 || type == 8 ? 3 : type == 3 || type == 7 ? 4 : 2;
    std::vector<uint8_t> bytes;
    bytes.push_back(static_cast<uint8_t>(static_cast<std::size_t>(addressBytes) + data.size() + 1));
    for (int i = addressBytes - 1; i >= 0; --i)
        bytes.push_back(static_cast<uint8_t>(address >> (8 * i)));
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (const uint8_t b : bytes)
        sum += b;
    bytes.push_back(static_cast<uint8_t>(255 - sum % 256));
    std::string text = "S" + std::to_string(type);
    char hex[3];
    for (const uint8_t b : bytes) {
        std::snprintf(hex, sizeof hex, "%02X", b);
        text += hex;
    }
    return text;
}

std::vector<uint8_t> Bytes(std::size_t count, uint8_t first, uint8_t step)
{
    std::vector<uint8_t> data(count);
    for (std::size_t i = 0; i < count; ++i)
        data[i] = static_cast<uint8_t>(first + step * i);
    return data;
}

uint8_t PatternByte(int32_t address)
{
    return static_cast<uint8_t>((address * 7 + (address >> 8)) % 251);
}

FirmwareImage PatternImage(const std::vector<AddressRange>& ranges)
{
    FirmwareImage image;
    image.fill(0xFF);
    for (const AddressRange& range : ranges)
        for (int32_t address = range.first; address <= range.last; ++address)
            image[static_cast<std::size_t>(address)] = PatternByte(address);
    return image;
}

std::string RecordsOf(const FirmwareImage& image, const std::vector<AddressRange>& ranges,
                      const FileLayout& layout)
{
    std::string text;
    for (const AddressRange& range : ranges) {
        for (int32_t address = range.first; address <= range.last; address += layout.perRecord) {
            const int32_t count = std::min(layout.perRecord, range.last - address + 1);
            const auto* first = image.data() + address;
            text += Record(layout.type, static_cast<uint32_t>(address),
                           std::vector<uint8_t>(first, first + count)) +
                    layout.lineEnd;
        }
    }
    text += (layout.type == 3 ? Record(7, 0, {}) : Record(9, 0, {})) + layout.lineEnd;
    return text;
}

bool WriteTextFile(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

bool WritePatternFile(const std::filesystem::path& file, const std::vector<AddressRange>& ranges,
                      const FileLayout& layout)
{
    return WriteTextFile(file, RecordsOf(PatternImage(ranges), ranges, layout));
}

} // namespace srecords
