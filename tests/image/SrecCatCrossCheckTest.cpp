// Cross-check with an independent implementation: files written by srec_cat (Debian package
// srecord) in S1, S2 and S3 form, then varied in case and line ends. The image we load must equal
// srec_cat's own binary of the file (holes filled with 0xFF), and the image CRC must equal
// both a bitwise CRC-16/ARC and srec_cat's CRC-16 with the ARC parameters.
#include "Crc16.h"
#include "SRecord.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

using imagetest::ReadAll;

bool HaveSrecCat()
{
#ifdef _WIN32
    return false;
#else
    static const bool have = std::system("command -v srec_cat >/dev/null 2>&1") == 0;
    return have;
#endif
}

std::string Quote(const std::filesystem::path& path)
{
    std::string quoted = "'";
    for (char c : path.string())
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

void RunTool(const std::string& command)
{
    ASSERT_EQ(std::system((command + " 2>/dev/null").c_str()), 0) << command;
}

// srec_cat's CRC-16 of `first`..`last` of a file, with the options that give CRC-16/ARC
// (checked against the 123456789 vector in its own test).
const char* const kSrecCatArc = "-xmodem -least-to-most -augment -polynomial 0x8005";

uint16_t SrecCatCrc(const TempDir& dir, const std::string& input, uint32_t first, uint32_t last)
{
    const auto out = dir.path() / "crc.bin";
    char range[64];
    std::snprintf(range, sizeof range, "0x%X 0x%X", first, last + 1);
    RunTool("srec_cat " + input + " -fill 0xFF " + range + " -crop " + range +
            " -crc16-l-e 0x100000 " + kSrecCatArc +
            " -crop 0x100000 0x100002 -offset -0x100000 -o " + Quote(out) + " -binary");
    const std::string bytes = ReadAll(out);
    EXPECT_EQ(bytes.size(), 2u);
    if (bytes.size() != 2)
        return 0;
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[0]) | static_cast<uint8_t>(bytes[1])
                                                                      << 8);
}

TEST(SrecCatCrossCheckTest, SrecCatArcOptionsGiveTheCheckValue)
{
    if (!HaveSrecCat())
        GTEST_SKIP() << "srec_cat (Debian package srecord) is not installed";
    const TempDir dir;
    const auto vector = dir.Write("v.bin", "123456789");
    EXPECT_EQ(SrecCatCrc(dir, Quote(vector) + " -binary", 0, 8), 0xBB3D);
}

struct Segment
{
    uint32_t start;
    uint32_t size;
};

struct Layout
{
    const char* name;
    int addressLength; // 2: S1 records, 3: S2 records, 4: S3 records
    int blockSize;     // data bytes per record
    std::vector<Segment> segments;
};

enum class Case
{
    Upper,
    Lower
};
enum class LineEnd
{
    LF,
    CRLF,
    CR
};

// The file as other tools and editors leave it: other letter case and line ends, and when
// padded, blanks at the end of each line, a blank line after each and a Ctrl-Z at the end.
std::string Vary(std::string text, Case letterCase, LineEnd lineEnd, bool padded)
{
    if (letterCase == Case::Lower)
        std::transform(text.begin(), text.end(), text.begin(),
                       [](char c) { return static_cast<char>(std::tolower(c)); });
    const std::string end = lineEnd == LineEnd::LF     ? "\n"
                            : lineEnd == LineEnd::CRLF ? "\r\n"
                                                       : "\r";
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += padded ? " \t" + end + end : end;
        else if (c != '\r')
            out += c;
    }
    return padded ? out + "\x1A" : out;
}

class SrecCatLayoutTest : public ::testing::TestWithParam<Layout>
{
};

TEST_P(SrecCatLayoutTest, ImageAndCrcAgreeWithSrecCat)
{
    if (!HaveSrecCat())
        GTEST_SKIP() << "srec_cat (Debian package srecord) is not installed";
    const Layout& layout = GetParam();
    const TempDir dir;

    // Segments of random bytes (runs of 0xFF included) written as binaries and placed by
    // srec_cat at their addresses.
    std::mt19937 random(layout.segments.front().start ^ layout.segments.back().size);
    std::string inputs;
    uint32_t lowest = 0xFFFFFFFF, highest = 0;
    for (std::size_t i = 0; i < layout.segments.size(); ++i) {
        const Segment& segment = layout.segments[i];
        std::string bytes(segment.size, '\0');
        for (auto& b : bytes)
            b = static_cast<char>(random() % 5 == 0 ? 0xFF : random());
        const auto file = dir.Write("seg" + std::to_string(i) + ".bin", bytes);
        inputs += " " + Quote(file) + " -binary -offset " + std::to_string(segment.start);
        lowest = std::min(lowest, segment.start);
        highest = std::max(highest, segment.start + segment.size - 1);
    }
    const auto mot = dir.path() / "made.mot";
    RunTool("srec_cat" + inputs + " -o " + Quote(mot) + " -motorola -address-length=" +
            std::to_string(layout.addressLength) + " -obs=" + std::to_string(layout.blockSize));
    const std::string made = ReadAll(mot);
    const char* dataRecord = layout.addressLength == 2   ? "\nS1"
                             : layout.addressLength == 3 ? "\nS2"
                                                         : "\nS3";
    ASSERT_NE(made.find(dataRecord), std::string::npos);

    const auto bin = dir.path() / "made.bin";
    RunTool("srec_cat " + Quote(mot) + " -fill 0xFF 0 0x40000 -o " + Quote(bin) + " -binary");
    const std::string reference = ReadAll(bin);
    ASSERT_EQ(reference.size(), static_cast<std::size_t>(kImageSize));
    const auto* referenceBytes = reinterpret_cast<const uint8_t*>(reference.data());

    const uint16_t expectedCrc =
        highest >= 0x3000
            ? imagetest::BitwiseCrc16Arc(referenceBytes + 0x3000, highest - 0x3000 + 1)
            : 0;
    if (highest >= 0x3000) {
        EXPECT_EQ(SrecCatCrc(dir, Quote(mot), 0x3000, highest), expectedCrc);
    }

    static FirmwareImage image;
    for (const auto& [letterCase, padded] :
         {std::pair{Case::Upper, false}, std::pair{Case::Lower, false},
          std::pair{Case::Upper, true}}) {
        for (LineEnd lineEnd : {LineEnd::LF, LineEnd::CRLF, LineEnd::CR}) {
            SCOPED_TRACE(::testing::Message()
                         << layout.name << (letterCase == Case::Upper ? " upper" : " lower")
                         << (lineEnd == LineEnd::LF     ? " LF"
                             : lineEnd == LineEnd::CRLF ? " CRLF"
                                                        : " CR")
                         << (padded ? " padded" : ""));
            const auto file = dir.Write("varied.mot", Vary(made, letterCase, lineEnd, padded));
            VirtualHost host;
            const std::atomic<bool> cancel{false};
            const SRecordLoad load = LoadSRecordFile(file, image, host, cancel);
            ASSERT_EQ(load.result, SRecordResult::Ok) << "line " << load.problem.line;
            EXPECT_EQ(load.startAddr, static_cast<int32_t>(lowest));
            EXPECT_EQ(load.endAddr, static_cast<int32_t>(highest));
            EXPECT_EQ(std::memcmp(image.data(), referenceBytes, kImageSize), 0)
                << "image differs from srec_cat's binary";
            EXPECT_EQ(CalculateCrc(image.data(), kApplicationStart, load.endAddr), expectedCrc);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, SrecCatLayoutTest,
    ::testing::Values(
        Layout{"S1 application", 2, 16, {{0x3000, 0x1000}}},
        Layout{"S1 header and application with holes",
               2,
               32,
               {{0x0000, 0x0400}, {0x3000, 0x1321}, {0x8007, 0x10F9}}},
        Layout{"S1 up to 0xFFFF", 2, 64, {{0x0100, 0x20}, {0xF000, 0x1000}}},
        Layout{"S2 application", 3, 32, {{0x3000, 0x2000}}},
        Layout{"S2 spread over the blocks",
               3,
               32,
               {{0x0000, 0x0200}, {0x3000, 0x2000}, {0x20011, 0x9FEF}, {0x3FF00, 0x100}}},
        Layout{"S2 64-byte records", 3, 64, {{0x00000, 0x3000}, {0x30000, 0x10000}}},
        Layout{"S2 odd record size below 0x3000", 3, 7, {{0x0005, 0x0801}, {0x1F00, 0x0300}}},
        Layout{"S2 full application area", 3, 32, {{0x3000, 0x3D000}}},
        Layout{"S3 application", 4, 32, {{0x3000, 0x2000}}},
        Layout{"S3 spread over the blocks",
               4,
               16,
               {{0x0000, 0x0200}, {0x3000, 0x1000}, {0x20011, 0x9FEF}, {0x3FF00, 0x100}}},
        Layout{"S3 255-count records", 4, 250, {{0x0000, 0x3000}, {0x30000, 0x10000}}}),
    [](const ::testing::TestParamInfo<Layout>& info) {
        std::string name = info.param.name;
        for (auto& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

} // namespace
