// FormatHex: a value's bit pattern at its own width, padded and never cut.
#include "Hex.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(FormatHexTest, Table)
{
    EXPECT_EQ(FormatHex(0, 4), "0000");
    EXPECT_EQ(FormatHex(0xA5, 4), "00A5");
    EXPECT_EQ(FormatHex(int16_t{-1}, 4), "FFFF");
    EXPECT_EQ(FormatHex(int16_t{-32768}, 4), "8000");
    EXPECT_EQ(FormatHex(uint16_t{0xBB3D}, 4), "BB3D");
    EXPECT_EQ(FormatHex(0x12345, 4), "12345"); // longer text is not cut
    EXPECT_EQ(FormatHex(int32_t{-1}, 4), "FFFFFFFF");
    EXPECT_EQ(FormatHex(int32_t{-6}, 4), "FFFFFFFA");
    EXPECT_EQ(FormatHex(uint32_t{0xDEADBEEF}, 0), "DEADBEEF");
    EXPECT_EQ(FormatHex(0, 0), "0");
    EXPECT_EQ(FormatHex(0, 1), "0");
    EXPECT_EQ(FormatHex(7, -3), "7");
    EXPECT_EQ(FormatHex(0x3FFFF, 6), "03FFFF");
    EXPECT_EQ(FormatHex(0xabc, 8), "00000ABC");
}

} // namespace
