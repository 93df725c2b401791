// Replays the committed fuzz corpus (fuzz/corpus/<target>/) and every crash input kept in
// tests/data/fuzz-crashes/ through the loader, with the checks of the fuzz targets.
#include "Crc16.h"
#include "SRecord.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using imagetest::ReadAll;

std::vector<std::filesystem::path> InputsUnder(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        return files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

const std::filesystem::path kSource = NORVANE_SOURCE_DIR;

TEST(FuzzCorpusReplayTest, EveryInputThroughTheLoader)
{
    auto inputs = InputsUnder(kSource / "fuzz" / "corpus");
    const auto crashes = InputsUnder(kSource / "tests" / "data" / "fuzz-crashes");
    inputs.insert(inputs.end(), crashes.begin(), crashes.end());
    ASSERT_FALSE(inputs.empty()) << "the committed corpus is missing";

    static FirmwareImage whole, small;
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.string());
        const std::string data = ReadAll(input);

        // As one line: decoding never fails in another way than the three results.
        SRecordLine line;
        (void)ParseSRecordLine(data, line);

        // As a whole file, from disk and from memory in tiny chunks: the same outcome.
        VirtualHost host;
        const std::atomic<bool> cancel{false};
        const SRecordLoad fromDisk = LoadSRecordFile(input, whole, host, cancel);
        SRecordReader reader;
        reader.OpenMemory(data.data(), data.size());
        reader.SetChunkSize(3);
        const SRecordLoad fromMemory = LoadSRecordFile(reader, small, host, cancel);
        EXPECT_EQ(fromDisk.result, fromMemory.result);
        EXPECT_EQ(fromDisk.problem.line, fromMemory.problem.line);
        EXPECT_EQ(fromDisk.overlap.has_value(), fromMemory.overlap.has_value());
        if (!data.empty()) {
            EXPECT_EQ(fromDisk.startAddr, fromMemory.startAddr);
            EXPECT_EQ(fromDisk.endAddr, fromMemory.endAddr);
            EXPECT_EQ(std::memcmp(whole.data(), small.data(), whole.size()), 0);
        }
        if (fromDisk.result == SRecordResult::Ok) {
            EXPECT_TRUE(0 <= fromDisk.startAddr && fromDisk.startAddr < fromDisk.endAddr &&
                        fromDisk.endAddr <= kLastImageAddress);
            (void)CalculateCrc(whole.data(), kApplicationStart, fromDisk.endAddr);
        }
    }
}

} // namespace
