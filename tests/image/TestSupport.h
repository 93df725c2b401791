#pragma once
// Small helpers shared by the image tests: an image loaded from inline text and a reference
// CRC. Records come from the shared S-record text, temporary folders from the shared TempDir.

#include "SRecord.h"
#include "SRecordText.h"
#include "TempDir.h"
#include "VirtualHost.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace imagetest {

// CRC-16/ARC the slow way, as an independent reference: bit by bit, reflected polynomial
// 0xA001, start 0, no final XOR.
inline uint16_t BitwiseCrc16Arc(const uint8_t* bytes, std::size_t count)
{
    uint16_t crc = 0;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

using srecords::Bytes;
using srecords::Record;

// Loads inline text through the reader, with the given chunk size.
inline SRecordLoad LoadText(const std::string& text, FirmwareImage& image,
                            std::size_t chunk = 16384, int* yields = nullptr)
{
    SRecordReader reader;
    reader.OpenMemory(text.data(), text.size());
    reader.SetChunkSize(chunk);
    VirtualHost host;
    const std::atomic<bool> cancel{false};
    const SRecordLoad load = LoadSRecordFile(reader, image, host, cancel);
    if (yields)
        *yields = static_cast<int>(host.ProcessEventsCalls());
    return load;
}

inline std::string ReadAll(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace imagetest
