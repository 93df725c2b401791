// CRC-16: the table, the published check values and an independent bitwise
// CRC-16/ARC over many random blocks.
#include "Crc16.h"
#include "Hex.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

class Crc16Test : public ::testing::Test
{
protected:
    static uint16_t Crc(const std::vector<uint8_t>& bytes)
    {
        return CalculateCrc(bytes.data(), 0, static_cast<int32_t>(bytes.size()) - 1);
    }
};

TEST_F(Crc16Test, TableEntriesArePublishedArcValues)
{
    struct Row
    {
        int index;
        uint16_t value;
    };
    const Row rows[] = {{0, 0x0000}, {1, 0xC0C1}, {2, 0xC181}, {128, 0xA001}, {255, 0x4040}};
    for (const Row& row : rows)
        EXPECT_EQ(CrcTable[row.index], row.value) << "entry " << row.index;
}

TEST_F(Crc16Test, CheckValues)
{
    struct Row
    {
        const char* name;
        std::vector<uint8_t> bytes;
        uint16_t crc;
    };
    const std::string digits = "123456789";
    const Row rows[] = {
        {"check string 123456789", std::vector<uint8_t>(digits.begin(), digits.end()), 0xBB3D},
        {"04 02 00", {0x04, 0x02, 0x00}, 0xA140},
        {"single FF", {0xFF}, 0x4040},
        {"FF FF", {0xFF, 0xFF}, 0xB001},
        {"single 00", {0x00}, 0x0000},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Crc(row.bytes), row.crc) << row.name;
}

TEST_F(Crc16Test, EmptyRangeGivesZero)
{
    const uint8_t bytes[4] = {1, 2, 3, 4};
    EXPECT_EQ(CalculateCrc(bytes, 1, 0), 0);
    EXPECT_EQ(CalculateCrc(bytes, 3, 0), 0);
    // An image whose end lies below 0x3000 has the image CRC 0 and reads nothing.
    EXPECT_EQ(CalculateCrc(nullptr, 0x3000, 0x2FFF), 0);
}

TEST_F(Crc16Test, RangeIsInclusiveInTheArraysOwnIndexing)
{
    const uint8_t bytes[] = {0xAA, '1', '2', '3', '4', '5', '6', '7', '8', '9', 0x55};
    EXPECT_EQ(CalculateCrc(bytes, 1, 9), 0xBB3D);
}

TEST_F(Crc16Test, AgreesWithBitwiseArcOnRandomBlocks)
{
    std::mt19937 random(20261207);
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> bytes(random() % 2000);
        for (auto& b : bytes)
            b = static_cast<uint8_t>(random());
        ASSERT_EQ(Crc(bytes), imagetest::BitwiseCrc16Arc(bytes.data(), bytes.size()))
            << "round " << round;
    }
}

TEST(HiByteTest, HighByteOfBitPattern)
{
    EXPECT_EQ(HiByte(0x1234), 0x12);
    EXPECT_EQ(HiByte(0x00FF), 0x00);
    EXPECT_EQ(HiByte(static_cast<uint16_t>(static_cast<int16_t>(-1))), 0xFF);
    EXPECT_EQ(HiByte(static_cast<uint16_t>(static_cast<int16_t>(-32768))), 0x80);
}

TEST(CrcDisplayTest, ShownAsFourUpperCaseDigits)
{
    struct Row
    {
        uint16_t crc;
        const char* shown;
    };
    const Row rows[] = {{0x00A5, "File: CRC - 00A5h"},
                        {0xBB3D, "File: CRC - BB3Dh"},
                        {0x0000, "File: CRC - 0000h"},
                        {0x0A3F, "File: CRC - 0A3Fh"}};
    for (const Row& row : rows)
        EXPECT_EQ("File: CRC - " + FormatHex(row.crc, 4) + "h", row.shown);
    // The window keeps the CRC in a signed 16-bit field; the digits are the same.
    EXPECT_EQ(FormatHex(static_cast<int16_t>(0xBB3D), 4), "BB3D");
}

} // namespace
