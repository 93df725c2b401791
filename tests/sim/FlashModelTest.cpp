#include "FlashModel.h"

#include <gtest/gtest.h>

#include <array>

namespace {

TEST(FlashModelTest, ProgrammingClearsBitsAndAZeroToOneIsAViolation)
{
    FlashModel flash;
    const std::array<uint8_t, 2> first{0x0F, 0xAA};
    flash.Program(0x1000, first.data(), 2);
    EXPECT_TRUE(flash.Violations().empty());

    const std::array<uint8_t, 2> second{0x0E, 0xF0}; // 0x0E only clears; 0xF0 needs 1s
    flash.Program(0x1000, second.data(), 2);
    EXPECT_EQ(flash.Bytes()[0x1000], 0x0E);
    EXPECT_EQ(flash.Bytes()[0x1001], 0xA0); // what real flash leaves: the AND
    ASSERT_EQ(flash.Violations().size(), 1u);
    EXPECT_EQ(flash.Violations()[0].address, 0x1001);
    EXPECT_EQ(flash.Violations()[0].before, 0xAA);
    EXPECT_EQ(flash.Violations()[0].wanted, 0xF0);
}

TEST(FlashModelTest, EraseSetsExactlyItsBlockToFF)
{
    FlashModel flash;
    flash.Bytes().fill(0x00);
    flash.EraseBlock(9);
    EXPECT_EQ(flash.Bytes()[0x7FFF], 0x00);
    EXPECT_EQ(flash.Bytes()[0x8000], 0xFF);
    EXPECT_EQ(flash.Bytes()[0xFFFF], 0xFF);
    EXPECT_EQ(flash.Bytes()[0x10000], 0x00);
}

} // namespace
