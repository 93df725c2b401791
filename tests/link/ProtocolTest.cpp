// The flash block layout: which block an address falls in, at every boundary.
#include "Protocol.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(ProtocolTest, GetBlockNumberAtEveryBoundary)
{
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
    // Every block starts where the one before it ends.
    for (int16_t block = 2; block <= kFlashBlockCount; ++block)
        EXPECT_EQ(GetBlockNumber(BlockStart(block) - 1), block - 1) << block;
}

} // namespace
