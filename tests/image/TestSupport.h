#pragma once
// Small helpers shared by the image tests: records with correct checksums, an image loaded
// from inline text, a virtual-time host, a temporary folder and a reference CRC.

#include "Host.h"
#include "SRecord.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

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

// An S-record line (without line end) with the given type, address width and data; the count
// and checksum are computed unless given.
inline std::string Record(int type, uint32_t address, const std::vector<uint8_t>& data,
                          int addressBytes = -1)
{
    if (addressBytes < 0)
        addressBytes = type == 2 || type == 8 ? 3 : type == 3 || type == 7 ? 4 : 2;
    std::vector<uint8_t> bytes;
    bytes.push_back(static_cast<uint8_t>(addressBytes + data.size() + 1));
    for (int i = addressBytes - 1; i >= 0; --i)
        bytes.push_back(static_cast<uint8_t>(address >> (8 * i)));
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (uint8_t b : bytes)
        sum += b;
    bytes.push_back(static_cast<uint8_t>(255 - sum % 256));
    std::string text = "S" + std::to_string(type);
    char hex[3];
    for (uint8_t b : bytes) {
        std::snprintf(hex, sizeof hex, "%02X", b);
        text += hex;
    }
    return text;
}

inline std::vector<uint8_t> Bytes(std::size_t count, uint8_t first = 0, uint8_t step = 1)
{
    std::vector<uint8_t> data(count);
    for (std::size_t i = 0; i < count; ++i)
        data[i] = static_cast<uint8_t>(first + step * i);
    return data;
}

// Virtual time: every yield advances the clock by the time the caller allows (at least
// `minStep` ms), so waits end at once and deterministically.
class VirtualHost : public Host
{
public:
    explicit VirtualHost(int32_t start = 0, int32_t minStep = 1) : now(start), minStep(minStep) {}
    int32_t TickCount() override { return now; }
    void ProcessEvents(int32_t maxWaitMs) override
    {
        ++yields;
        waits.push_back(maxWaitMs);
        const int32_t advance = maxWaitMs > minStep ? maxWaitMs : minStep;
        now = static_cast<int32_t>(static_cast<uint32_t>(now) + static_cast<uint32_t>(advance));
        if (onYield)
            onYield(yields);
    }

    int32_t now;
    int32_t minStep;
    int yields = 0;
    std::vector<int32_t> waits;
    std::function<void(int)> onYield;
};

struct LoadOutcome
{
    int16_t result = -1;
    int32_t start = -7; // -7: not written
    int32_t end = -7;
    LoadProblem problem;
    int yields = 0;
};

// Loads inline text through the reader, with the given chunk size.
inline LoadOutcome LoadText(const std::string& text, FirmwareImage& image,
                            std::size_t chunk = 16384)
{
    SRecordReader reader;
    reader.OpenMemory(text.data(), text.size());
    reader.SetChunkSize(chunk);
    VirtualHost host;
    const std::atomic<bool> cancel{false};
    LoadOutcome outcome;
    outcome.result =
        LoadSRecordFile(reader, image, outcome.start, outcome.end, host, cancel, &outcome.problem);
    outcome.yields = host.yields;
    return outcome;
}

// A fresh folder below the system's temporary folder, removed with the object.
class TempDir
{
public:
    TempDir()
    {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("norvane-test-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path Write(const std::filesystem::path& name, const std::string& content) const
    {
        const auto file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out << content;
        return file;
    }

private:
    std::filesystem::path path_;
};

inline std::string ReadAll(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace imagetest
