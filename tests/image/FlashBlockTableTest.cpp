// Flash block table: which block an address falls in.
#include "FlashBlockTable.h"

#include <gtest/gtest.h>

namespace {

TEST(FlashBlockTableTest, InitTablesFillsTheBlockTable)
{
    InitTables();
    const int32_t starts[] = {0x00000, 0x01000, 0x02000, 0x03000, 0x04000, 0x05000,
                              0x06000, 0x07000, 0x08000, 0x10000, 0x20000, 0x30000};
    for (int k = 1; k <= kFlashBlockCount; ++k)
        EXPECT_EQ(FlashBlockTable[k], starts[k - 1]) << "block " << k;
}

TEST(FlashBlockTableTest, GetBlockNumber)
{
    InitTables();
    struct Row
    {
        int32_t address;
        int16_t block;
    };
    const Row rows[] = {
        {0x00000, 1},
        {0x00FFF, 1},
        {0x01000, 2},
        {0x02FFF, 3},
        {0x03000, 4},
        {0x07FFF, 8},
        {0x08000, 9},
        {0x0FFFF, 9},
        {0x10000, 10},
        {0x1FFFF, 10},
        {0x20000, 11},
        {0x2FFFF, 11},
        {0x30000, 12},
        {0x3FF80, 12},
        {0x3FFFF, 12},
        // Outside the image: negative addresses fall in block 1, large ones in block 12.
        {-1, 1},
        {INT32_MIN, 1},
        {0x40000, 12},
        {INT32_MAX, 12},
    };
    for (const Row& row : rows)
        EXPECT_EQ(GetBlockNumber(row.address), row.block) << std::hex << row.address;
}

TEST(FlashBlockTableTest, EveryStepStartLiesInTheBlockOfItsLastByte)
{
    InitTables();
    for (int32_t step = 0; step < 0x40000; step += 128)
        ASSERT_EQ(GetBlockNumber(step), GetBlockNumber(step + 127)) << std::hex << step;
}

} // namespace
