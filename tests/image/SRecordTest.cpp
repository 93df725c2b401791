// S-record loader: one line, the line reader, and whole files given as inline
// text. Files on disk are in SRecordFileTest.cpp, cross-checks with srec_cat in
// SrecCatCrossCheckTest.cpp.
#include "SRecord.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

using imagetest::Bytes;
using imagetest::LoadText;
using imagetest::Record;
using Kind = LoadProblem::Kind;

FirmwareImage g_image; // 256 KiB: kept out of the stack

// ---------------------------------------------------------------------------------------------
// ParseSRecordLine on one line of text

struct LineRow
{
    const char* name;
    std::string text;
    int16_t code;
    int16_t recType = -1;     // checked when >= 0
    int32_t address = -1;     // checked when >= 0
    int16_t dataLength = -99; // checked when != -99
    int16_t checksum = -1;    // checked when >= 0
    std::vector<uint8_t> data = {};
};

TEST(ParseSRecordLineTest, Table)
{
    const LineRow rows[] = {
        {"S1 example", "S107300001020304BE", 0, 1, 0x3000, 4, 0xBE, {1, 2, 3, 4}},
        {"S1 example, wrong checksum", "S107300001020304BF", 2},
        {"S2 example", "S208003000AA550102C5", 0, 2, 0x3000, 4, 0xC5, {0xAA, 0x55, 1, 2}},
        {"lower case s and digits", "s107300001020304be", 0, 1, 0x3000, 4, 0xBE, {1, 2, 3, 4}},
        {"mixed case digits", "S1073000aBcD030449", 0, 1, 0x3000, 4, 0x49, {0xAB, 0xCD, 3, 4}},
        {"S9 end record", "S9030000FC", 0, 9, -1, -99, 0xFC},
        {"S0 header record", "S00600004844521B", 0, 0, -1, -99, 0x1B},
        {"S5 count record", "S5030001FB", 0, 5},
        {"S8 end record", "S804000000FB", 0, 8},
        {"S7 end record", "S70500000000FA", 0, 7},
        {"S3 data record", Record(3, 0x3000, {1, 2}), 0, 3, 0x3000, 2, -1, {1, 2}},
        {"S3 address with the top bit set", Record(3, 0xFFFFFFF0, {1}), 0, 3},
        {"S3 with bad checksum", "S30700003000010200", 2},
        {"type that is not a digit counts as 0", "SX030000FC", 0, 0},
        {"empty line", "", 1},
        {"first character not S", "X107300001020304BE", 1},
        {"leading blank", " S107300001020304BE", 1},
        {"trailing blanks are ignored", "S107300001020304BE \t ", 0, 1, 0x3000, 4, 0xBE},
        {"a blank inside the checksum is not trailing", "S107300001020304B E", 2},
        {"S alone: no pairs, checksum 0", "S", 2},
        {"S1 alone", "S1", 2},
        {"address not hexadecimal", "S1073G0001020304EB", 1},
        {"data byte not hexadecimal", "S10730000102030GC2", 1},
        {"count read leniently: blanks ignored", "S5 3 001FB", 0, 5, -1, -99, 0xFB},
        {"count and checksum read leniently: digits at the start", "S90G0000FF", 0, 9},
        {"odd length: the last pair overlaps the checksum", "S5030001FB0", 2},
        {"count below 3: no data", "S1023000CD", 0, 1, 0x3000, -1},
        {"count 3: no data", "S1033000CC", 0, 1, 0x3000, 0},
        {"count one more than the data: checksum taken as data",
         "S108300001020304BD",
         0,
         1,
         0x3000,
         5,
         0xBD,
         {1, 2, 3, 4, 0xBD}},
        {"count two more than the data: past the line", "S109300001020304BC", 1},
        {"64 data bytes", Record(1, 0x1000, Bytes(64)), 0, 1, 0x1000, 64},
        {"65 data bytes", Record(1, 0x1000, Bytes(65)), 0, 1, 0x1000, 65},
        {"count FF: 252 data bytes", Record(1, 0x1000, Bytes(252, 9)), 0, 1, 0x1000, 252},
        {"count FF on a short line: data past the line", "S1FF300001020304C6", 1},
        {"S2 with 251 data bytes", Record(2, 0x3000, Bytes(251)), 0, 2, 0x3000, 251},
        {"S3 with 250 data bytes", Record(3, 0x3000, Bytes(250)), 0, 3, 0x3000, 250},
        {"S2 address beyond the image still parses", Record(2, 0xFFFFF0, {1}), 0, 2, 0xFFFFF0, 1},
        {"address cut off by the line end", "S103FC", 1},
        {"binary bytes", std::string("S1\0\xff\x80", 5), 2},
    };
    for (const LineRow& row : rows) {
        SCOPED_TRACE(row.name);
        SRecordLine line;
        EXPECT_EQ(ResultCode(ParseSRecordLine(row.text, line)), row.code) << row.text;
        if (row.code != 0)
            continue;
        if (row.recType >= 0) {
            EXPECT_EQ(line.RecType, row.recType);
        }
        if (row.address >= 0) {
            EXPECT_EQ(line.Address, static_cast<uint32_t>(row.address));
        }
        if (row.dataLength != -99) {
            EXPECT_EQ(line.DataLength, row.dataLength);
        }
        if (row.checksum >= 0) {
            EXPECT_EQ(line.Checksum, row.checksum);
        }
        for (std::size_t k = 0; k < row.data.size(); ++k)
            EXPECT_EQ(line.Data[k], row.data[k]) << "data byte " << k;
    }
}

TEST(ParseSRecordLineTest, OtherTypesKeepTheDataFieldsOfTheLineBefore)
{
    SRecordLine line;
    ASSERT_EQ(ParseSRecordLine("S107300001020304BE", line), SRecordResult::Ok);
    ASSERT_EQ(ParseSRecordLine("S9030000FC", line), SRecordResult::Ok);
    EXPECT_EQ(line.RecType, 9);
    EXPECT_EQ(line.Address, 0x3000u);
    EXPECT_EQ(line.DataLength, 4);
    EXPECT_EQ(line.Data[3], 4);
}

TEST(ParseSRecordLineTest, TheLargestCountNeverWritesPastTheBuffer)
{
    struct Guarded
    {
        SRecordLine line;
        std::array<uint8_t, 64> after;
    } guarded;
    guarded.after.fill(0x5A);
    EXPECT_EQ(ParseSRecordLine(Record(1, 0x3000, Bytes(252, 0x11)), guarded.line),
              SRecordResult::Ok);
    EXPECT_EQ(guarded.line.Data.back(), static_cast<uint8_t>(0x11 + 251));
    EXPECT_TRUE(std::all_of(guarded.after.begin(), guarded.after.end(),
                            [](uint8_t b) { return b == 0x5A; }));
}

TEST(ParseSRecordLineTest, ReadsExactlyOneLineFromTheFile)
{
    const std::string text = "S107300001020304BE\r\nS9030000FC\r\n";
    SRecordReader reader;
    reader.OpenMemory(text.data(), text.size());
    SRecordLine line;
    EXPECT_EQ(ParseSRecordLine(reader, line), SRecordResult::Ok);
    EXPECT_EQ(line.RecType, 1);
    EXPECT_EQ(reader.LineNumber(), 1);
    EXPECT_EQ(ParseSRecordLine(reader, line), SRecordResult::Ok);
    EXPECT_EQ(line.RecType, 9);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(ParseSRecordLine(reader, line), SRecordResult::Failed) << "reading past the end";
}

// ---------------------------------------------------------------------------------------------
// The line reader

std::vector<std::string> ReadAllLines(const std::string& text, std::size_t chunk,
                                      SRecordReader::LineStatus* last = nullptr)
{
    SRecordReader reader;
    reader.OpenMemory(text.data(), text.size());
    reader.SetChunkSize(chunk);
    std::vector<std::string> lines;
    std::string_view line;
    SRecordReader::LineStatus status;
    while ((status = reader.ReadLine(line)) == SRecordReader::LineStatus::Ok) {
        lines.emplace_back(line);
        EXPECT_EQ(reader.LineNumber(), static_cast<int32_t>(lines.size()));
    }
    if (last)
        *last = status;
    return lines;
}

TEST(SRecordReaderTest, LineEnds)
{
    using Lines = std::vector<std::string>;
    struct Row
    {
        const char* name;
        std::string text;
        Lines lines;
    };
    const Row rows[] = {
        {"CR LF", "ab\r\ncd\r\n", {"ab", "cd"}},
        {"LF alone reads like CR LF", "ab\ncd\n", {"ab", "cd"}},
        {"lone CR ends a line", "ab\rcd\r", {"ab", "cd"}},
        {"no line end at the end", "ab\r\ncd", {"ab", "cd"}},
        {"mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"CR CR LF is two lines", "a\r\r\nb", {"a", "", "b"}},
        {"LF CR is two line ends", "a\n\rb", {"a", "", "b"}},
        {"blank lines", "\r\n\n\r", {"", "", ""}},
        {"empty file", "", {}},
        {"NUL bytes are characters", std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
    };
    for (const Row& row : rows) {
        for (std::size_t chunk : {1, 2, 3, 5, 16384}) {
            SRecordReader::LineStatus last;
            EXPECT_EQ(ReadAllLines(row.text, chunk, &last), row.lines)
                << row.name << ", chunk " << chunk;
            EXPECT_EQ(last, SRecordReader::LineStatus::End) << row.name;
        }
    }
}

TEST(SRecordReaderTest, AtEndAfterTheLastLineEnd)
{
    for (const std::string text : {"ab\r\n", "ab\r", "ab\n", "ab"}) {
        SRecordReader reader;
        reader.OpenMemory(text.data(), text.size());
        reader.SetChunkSize(1);
        std::string_view line;
        EXPECT_FALSE(reader.AtEnd());
        ASSERT_EQ(reader.ReadLine(line), SRecordReader::LineStatus::Ok);
        EXPECT_EQ(line, "ab");
        EXPECT_TRUE(reader.AtEnd()) << "CR LF at the end of the file is one line end";
    }
}

TEST(SRecordReaderTest, LongLinesAreRefusedWithoutReadingThemWhole)
{
    const std::size_t max = SRecordReader::kMaxLineLength;
    for (std::size_t chunk : {1, 7, 1000, 16384}) {
        SRecordReader::LineStatus last;
        const auto lines = ReadAllLines(std::string(max, 'x') + "\n" + "y", chunk, &last);
        ASSERT_EQ(lines.size(), 2u) << "a line of exactly the limit is read";
        EXPECT_EQ(lines[0].size(), max);

        ReadAllLines("ok\n" + std::string(max + 1, 'x') + "\nmore\n", chunk, &last);
        EXPECT_EQ(last, SRecordReader::LineStatus::TooLong) << "chunk " << chunk;
        ReadAllLines(std::string(10 * max, 'x'), chunk, &last);
        EXPECT_EQ(last, SRecordReader::LineStatus::TooLong) << "chunk " << chunk;
    }
}

// ---------------------------------------------------------------------------------------------
// LoadSRecordFile on inline files

constexpr int32_t kNotRead = -7; // the range is not known: a line failed

struct LoadRow
{
    const char* name;
    std::string text;
    int16_t result;
    int32_t start; // kNotRead when a line failed
    int32_t end;
    Kind kind;
    int32_t line = 0; // failing line
};

const std::string kS1 = "S1053000AABB65";
const std::string kS9 = "S9030000FC";
const std::string kCtrlZ = "\x1A";

TEST(LoadSRecordFileTest, Table)
{
    const LoadRow rows[] = {
        {"two-line file", kS1 + "\r\n" + kS9 + "\r\n", 0, 0x3000, 0x3001, Kind::None},
        {"two-line file, checksum 66", "S1053000AABB66\r\n" + kS9 + "\r\n", 2, kNotRead, kNotRead,
         Kind::Checksum, 1},
        {"LF alone", kS1 + "\n" + kS9 + "\n", 0, 0x3000, 0x3001, Kind::None},
        {"CR alone", kS1 + "\r" + kS9 + "\r", 0, 0x3000, 0x3001, Kind::None},
        {"no line end at the end", kS1 + "\n" + kS9, 0, 0x3000, 0x3001, Kind::None},
        {"no S9 at all", kS1 + "\r\n", 0, 0x3000, 0x3001, Kind::None},
        {"lower case", "s1053000aabb65\r\ns9030000fc\r\n", 0, 0x3000, 0x3001, Kind::None},
        {"only S0 and S9: nothing loaded, range written", "S00600004844521B\n" + kS9 + "\n", 1,
         0x3FFFF, 0, Kind::NoData},
        {"a single address", Record(1, 0x3000, {0x12}) + "\n" + kS9 + "\n", 1, 0x3000, 0x3000,
         Kind::NoData},
        {"16 bytes at 0x3000", Record(1, 0x3000, Bytes(16)) + "\n" + kS9 + "\n", 0, 0x3000, 0x300F,
         Kind::None},
        {"lines after S9 are never read",
         kS1 + "\n" + kS9 + "\n\nS1 garbage\n" + Record(2, 0x3FFFF, {1, 2}) + "\n", 0, 0x3000,
         0x3001, Kind::None},
        // What other tools write: blank lines, trailing blanks, a Ctrl-Z at the end.
        {"blank lines anywhere", "\r\n" + kS1 + "\n\n \t\n" + Record(1, 0x4000, {1}) + "\n\n", 0,
         0x3000, 0x4000, Kind::None},
        {"trailing blanks on every line", kS1 + "  \r\n" + kS9 + "\t\r\n", 0, 0x3000, 0x3001,
         Kind::None},
        {"Ctrl-Z line at the end", kS1 + "\r\n" + kCtrlZ, 0, 0x3000, 0x3001, Kind::None},
        {"Ctrl-Z line, then blank lines", kS1 + "\n" + kCtrlZ + "\r\n\r\n", 0, 0x3000, 0x3001,
         Kind::None},
        {"Ctrl-Z ending the last record", kS1 + kCtrlZ, 0, 0x3000, 0x3001, Kind::None},
        {"Ctrl-Z after S9", kS1 + "\n" + kS9 + "\n" + kCtrlZ, 0, 0x3000, 0x3001, Kind::None},
        {"a record after the Ctrl-Z", kS1 + "\n" + kCtrlZ + "\n" + Record(1, 0x4000, {1}) + "\n", 1,
         kNotRead, kNotRead, Kind::Malformed, 3},
        {"two Ctrl-Z", kS1 + "\n" + kCtrlZ + "\n" + kCtrlZ, 1, kNotRead, kNotRead, Kind::Malformed,
         3},
        {"Ctrl-Z inside a record that is not the last", kS1 + kCtrlZ + "\n" + kS9 + "\n", 2,
         kNotRead, kNotRead, Kind::Checksum, 1},
        // S3 data loads as S1 and S2 data do; S7 and S8 end nothing.
        {"S3 records only", Record(3, 0x3000, Bytes(16)) + "\n" + Record(7, 0, {}) + "\n", 0,
         0x3000, 0x300F, Kind::None},
        {"S3 mixed with S2",
         Record(2, 0x3000, Bytes(16)) + "\n" + Record(3, 0x20000, Bytes(16)) + "\n", 0, 0x3000,
         0x2000F, Kind::None},
        {"S3 up to 0x3FFFF", Record(3, 0x3FFF0, Bytes(16)) + "\n", 0, 0x3FFF0, 0x3FFFF, Kind::None},
        {"S3 reaching 0x40000", kS1 + "\n" + Record(3, 0x3FFF1, Bytes(16)) + "\n", 1, kNotRead,
         kNotRead, Kind::Malformed, 2},
        {"S3 at the top of the 32-bit range", kS1 + "\n" + Record(3, 0xFFFFFFF0, Bytes(4)) + "\n",
         1, kNotRead, kNotRead, Kind::Malformed, 2},
        {"S3 without data past the image", kS1 + "\n" + Record(3, 0x80000000, {}) + "\n", 1,
         kNotRead, kNotRead, Kind::Malformed, 2},
        {"S7 and S8 with matching checksum are ignored",
         kS1 + "\nS804000000FB\nS70500000000FA\n" + Record(1, 0x4000, {1}) + "\n", 0, 0x3000,
         0x4000, Kind::None},
        {"S8 with a wrong checksum", kS1 + "\nS804000000FC\n", 2, kNotRead, kNotRead,
         Kind::Checksum, 2},
        {"65 data bytes", Record(1, 0x3000, Bytes(65)) + "\n", 0, 0x3000, 0x3040, Kind::None},
        {"count 255", Record(1, 0x3000, Bytes(252)) + "\n", 0, 0x3000, 0x30FB, Kind::None},
        {"S2 up to 0x3FFFF", Record(2, 0x3FFF0, Bytes(16)) + "\n", 0, 0x3FFF0, 0x3FFFF, Kind::None},
        {"S2 reaching 0x40000", kS1 + "\n" + Record(2, 0x3FFF1, Bytes(16)) + "\n", 1, kNotRead,
         kNotRead, Kind::Malformed, 2},
        {"S2 far beyond the image", kS1 + "\n" + Record(2, 0xFFFFF0, Bytes(4)) + "\n", 1, kNotRead,
         kNotRead, Kind::Malformed, 2},
        {"S2 without data whose range passes 0x3FFFF", kS1 + "\n" + Record(2, 0x050000, {}) + "\n",
         1, kNotRead, kNotRead, Kind::Malformed, 2},
        {"S2 without data ending at 0x3FFFF", kS1 + "\n" + Record(2, 0x040000, {}) + "\n", 0,
         0x3000, 0x3FFFF, Kind::None},
        {"S1 without data still counts for the range", kS1 + "\n" + Record(1, 0x2000, {}) + "\n", 0,
         0x2000, 0x3001, Kind::None},
        {"checksum error after data placed",
         kS1 + "\n" + Record(1, 0x4000, Bytes(8)) + "\nS1053000AABB66\n", 2, kNotRead, kNotRead,
         Kind::Checksum, 3},
        {"line over the length limit", kS1 + "\n" + std::string(5000, 'S') + "\n", 1, kNotRead,
         kNotRead, Kind::Malformed, 2},
        {"line of 1024 characters is read", "S0" + std::string(1020, '0') + "FF\n" + kS1, 0, 0x3000,
         0x3001, Kind::None},
        {"binary content",
         std::string("\x7f"
                     "ELF\x02\x01\x01\0\0\0",
                     10),
         1, kNotRead, kNotRead, Kind::Malformed, 1},
        {"empty file", "", 1, 0x3FFFF, 0, Kind::Unreadable},
        {"only blank lines", "\r\n\r\n", 1, 0x3FFFF, 0, Kind::NoData},
    };
    for (const LoadRow& row : rows) {
        for (std::size_t chunk : {1, 3, 16384}) {
            SCOPED_TRACE(::testing::Message() << row.name << ", chunk " << chunk);
            const SRecordLoad load = LoadText(row.text, g_image, chunk);
            EXPECT_EQ(ResultCode(load.result), row.result);
            EXPECT_EQ(load.rangeRead, row.start != kNotRead);
            if (load.rangeRead) {
                EXPECT_EQ(load.startAddr, row.start);
                EXPECT_EQ(load.endAddr, row.end);
            }
            EXPECT_EQ(load.problem.kind, row.kind);
            EXPECT_EQ(load.problem.line, row.line);
            ASSERT_NE(load.problem.reason, nullptr);
            EXPECT_EQ(load.problem.reason[0] != '\0', row.kind != Kind::None);
            EXPECT_FALSE(load.overlap);
        }
    }
}

TEST(LoadSRecordFileTest, PlacesTheBytesAndFillsTheRestWithFF)
{
    const auto load = LoadText(kS1 + "\r\n" + kS9 + "\r\n", g_image);
    ASSERT_EQ(load.result, SRecordResult::Ok);
    EXPECT_EQ(g_image[0x3000], 0xAA);
    EXPECT_EQ(g_image[0x3001], 0xBB);
    const auto count = std::count(g_image.begin(), g_image.end(), 0xFF);
    EXPECT_EQ(count, kImageSize - 2);
}

TEST(LoadSRecordFileTest, S3DataLandsAtItsAddress)
{
    const auto load = LoadText(Record(3, 0x3FFFE, {0x11, 0x22}) + "\n", g_image);
    ASSERT_EQ(load.result, SRecordResult::Ok);
    EXPECT_EQ(g_image[0x3FFFD], 0xFF);
    EXPECT_EQ(g_image[0x3FFFE], 0x11);
    EXPECT_EQ(g_image[0x3FFFF], 0x22);
}

TEST(LoadSRecordFileTest, EachLoadStartsFromAnErasedImage)
{
    (void)LoadText(Record(1, 0x100, Bytes(32)) + "\n", g_image);
    (void)LoadText(kS1 + "\n", g_image);
    EXPECT_EQ(g_image[0x100], 0xFF);
    EXPECT_EQ(g_image[0x3000], 0xAA);
}

TEST(LoadSRecordFileTest, DescendingOrderGivesTheSameRangeAndImage)
{
    std::string ascending, descending;
    std::vector<std::string> lines;
    for (int32_t a = 0x3000; a < 0x3400; a += 32)
        lines.push_back(Record(2, a, Bytes(32, static_cast<uint8_t>(a >> 5))));
    for (const auto& l : lines)
        ascending += l + "\n";
    for (auto it = lines.rbegin(); it != lines.rend(); ++it)
        descending += *it + "\n";
    static FirmwareImage first;
    const auto a = LoadText(ascending, first);
    const auto d = LoadText(descending, g_image);
    EXPECT_EQ(a.result, SRecordResult::Ok);
    EXPECT_EQ(d.result, SRecordResult::Ok);
    EXPECT_EQ(a.startAddr, d.startAddr);
    EXPECT_EQ(a.endAddr, d.endAddr);
    EXPECT_EQ(d.startAddr, 0x3000);
    EXPECT_EQ(d.endAddr, 0x33FF);
    EXPECT_EQ(first, g_image);
}

// The later record wins; the first byte it changes is reported with both lines. Records that
// repeat the same bytes are no overlap worth a warning.
TEST(LoadSRecordFileTest, OverlappingRecords)
{
    struct Row
    {
        const char* name;
        std::vector<std::string> records;
        std::optional<SRecordOverlap> overlap;
    };
    const std::string base = Record(1, 0x3000, Bytes(8, 1)); // 01..08 at 0x3000
    const Row rows[] = {
        {"the later record changes two bytes",
         {base, Record(1, 0x3002, {0x77, 0x78})},
         SRecordOverlap{1, 2, 0x3002}},
        {"first changed byte, not first shared byte",
         {base, Record(2, 0x3001, {2, 3, 0x99})},
         SRecordOverlap{1, 2, 0x3003}},
        {"the earlier line is the last writer",
         {base, Record(1, 0x4000, {1}), Record(1, 0x3006, {7, 8}), Record(3, 0x3007, {0x66})},
         SRecordOverlap{3, 4, 0x3007}},
        {"same bytes again", {base, Record(1, 0x3002, {3, 4}), base}, std::nullopt},
        {"adjacent records", {base, Record(1, 0x3008, {0x77})}, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string text;
        for (const auto& record : row.records)
            text += record + "\n";
        const auto load = LoadText(text, g_image);
        ASSERT_EQ(load.result, SRecordResult::Ok);
        ASSERT_EQ(load.overlap.has_value(), row.overlap.has_value());
        if (row.overlap) {
            EXPECT_EQ(load.overlap->earlierLine, row.overlap->earlierLine);
            EXPECT_EQ(load.overlap->laterLine, row.overlap->laterLine);
            EXPECT_EQ(load.overlap->address, row.overlap->address);
        }
    }
    (void)LoadText(base + "\n" + Record(1, 0x3002, {0x77, 0x78}) + "\n", g_image);
    const uint8_t expected[] = {1, 2, 0x77, 0x78, 5, 6, 7, 8};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(g_image[0x3000 + i], expected[i]);
}

TEST(LoadSRecordFileTest, BytesBelowTheImageEndStayWhenARecordPassesIt)
{
    const auto load = LoadText(Record(2, 0x3FFFE, {0x11, 0x22, 0x33}) + "\n", g_image);
    EXPECT_EQ(load.result, SRecordResult::Failed);
    EXPECT_EQ(g_image[0x3FFFE], 0x11);
    EXPECT_EQ(g_image[0x3FFFF], 0x22);
}

TEST(LoadSRecordFileTest, EarlierDataStaysAfterAChecksumError)
{
    const auto load = LoadText(kS1 + "\nS1053000AABB66\n", g_image);
    EXPECT_EQ(load.result, SRecordResult::ChecksumError);
    EXPECT_EQ(g_image[0x3000], 0xAA);
}

TEST(LoadSRecordFileTest, YieldsOncePerLineBlankLinesIncluded)
{
    int yields = 0;
    const auto load =
        LoadText("S00600004844521B\n" + kS1 + "\n\n" + Record(1, 0x4000, {1}) + "\n" + kS9 + "\n",
                 g_image, 16384, &yields);
    EXPECT_EQ(load.result, SRecordResult::Ok);
    EXPECT_EQ(yields, 5);
}

TEST(LoadSRecordFileTest, YieldsWithoutWaiting)
{
    VirtualHost host;
    const std::string text = kS1 + "\n" + kS9 + "\n";
    SRecordReader reader;
    reader.OpenMemory(text.data(), text.size());
    const std::atomic<bool> cancel{false};
    (void)LoadSRecordFile(reader, g_image, host, cancel);
    EXPECT_EQ(host.ProcessEventsCalls(), 2);
    EXPECT_EQ(host.NowMs(), 0); // neither yield waited
}

TEST(LoadSRecordFileTest, CancelBeforeTheFirstLine)
{
    const std::string text = kS1 + "\n" + kS9 + "\n";
    SRecordReader reader;
    reader.OpenMemory(text.data(), text.size());
    VirtualHost host;
    const std::atomic<bool> cancel{true};
    const auto load = LoadSRecordFile(reader, g_image, host, cancel);
    EXPECT_EQ(load.result, SRecordResult::Failed);
    EXPECT_EQ(host.ProcessEventsCalls(), 0);
    EXPECT_TRUE(load.rangeRead); // the range is given as it stands
    EXPECT_EQ(load.startAddr, 0x3FFFF);
    EXPECT_EQ(load.endAddr, 0);
    EXPECT_EQ(load.problem.kind, Kind::Cancelled);
}

TEST(LoadSRecordFileTest, CancelDuringTheYieldStopsAtTheNextLine)
{
    std::string text;
    for (int i = 0; i < 10; ++i)
        text += Record(1, static_cast<uint32_t>(0x3000 + 16 * i), Bytes(16)) + "\n";
    SRecordReader reader;
    reader.OpenMemory(text.data(), text.size());
    VirtualHost host;
    std::atomic<bool> cancel{false};
    host.OnProcessEvents([&cancel](int64_t yields) {
        if (yields == 3)
            cancel = true; // the Cancel button pressed while the third line yields
    });
    const auto load = LoadSRecordFile(reader, g_image, host, cancel);
    EXPECT_EQ(load.result, SRecordResult::Ok);
    EXPECT_EQ(host.ProcessEventsCalls(), 3);
    EXPECT_EQ(load.startAddr, 0x3000);
    EXPECT_EQ(load.endAddr, 0x302F);
    EXPECT_EQ(load.problem.kind, Kind::Cancelled);
    EXPECT_EQ(g_image[0x3030], 0xFF);
}

TEST(LoadSRecordFileTest, ReportsTheFailingLineFarIntoAFile)
{
    std::string text;
    for (int i = 0; i < 999; ++i)
        text += Record(2, static_cast<uint32_t>(0x3000 + 32 * i), Bytes(32)) + "\r\n";
    text += "S2240000\r\n";
    const auto load = LoadText(text, g_image);
    EXPECT_EQ(load.result, SRecordResult::ChecksumError);
    EXPECT_EQ(load.problem.line, 1000);
}

TEST(LoadProblemTextTest, Words)
{
    EXPECT_STREQ(LoadProblemText(Kind::Unreadable), "unreadable");
    EXPECT_STREQ(LoadProblemText(Kind::Malformed), "malformed");
    EXPECT_STREQ(LoadProblemText(Kind::Checksum), "checksum error");
}

} // namespace
