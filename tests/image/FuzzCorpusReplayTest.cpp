// Replays the committed fuzz corpus (fuzz/corpus/<target>/) and every crash input kept in
// tests/data/fuzz-crashes/ through the loader, with the checks of the fuzz targets.
#include "Crc16.h"
#include "SRecord.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using imagetest::ReadAll;
using imagetest::VirtualHost;

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
    InitCrcTable();
    auto inputs = InputsUnder(kSource / "fuzz" / "corpus");
    const auto crashes = InputsUnder(kSource / "tests" / "data" / "fuzz-crashes");
    inputs.insert(inputs.end(), crashes.begin(), crashes.end());
    ASSERT_FALSE(inputs.empty()) << "the committed corpus is missing";

    static FirmwareImage whole, small;
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.string());
        const std::string data = ReadAll(input);

        // As one line.
        SRecordLine line;
        const int16_t code = ParseSRecordLine(data, line);
        EXPECT_TRUE(code >= 0 && code <= 2);

        // As a whole file, from disk and from memory in tiny chunks: the same outcome.
        VirtualHost host;
        const std::atomic<bool> cancel{false};
        int32_t start1 = -7, end1 = -7, start2 = -7, end2 = -7;
        LoadProblem problem1, problem2;
        const int16_t result1 =
            LoadSRecordFile(input, whole, start1, end1, host, cancel, &problem1);
        SRecordReader reader;
        reader.OpenMemory(data.data(), data.size());
        reader.SetChunkSize(3);
        const int16_t result2 =
            LoadSRecordFile(reader, small, start2, end2, host, cancel, &problem2);
        EXPECT_EQ(result1, result2);
        EXPECT_EQ(problem1.line, problem2.line);
        if (!data.empty()) {
            EXPECT_EQ(start1, start2);
            EXPECT_EQ(end1, end2);
            EXPECT_EQ(std::memcmp(whole.data(), small.data(), whole.size()), 0);
        }
        if (result1 == 0) {
            EXPECT_TRUE(0 <= start1 && start1 < end1 && end1 <= kLastImageAddress);
            CalculateCrc(whole.data(), kApplicationStart, end1);
        }
    }
}

} // namespace
