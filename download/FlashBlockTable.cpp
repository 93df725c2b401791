#include "FlashBlockTable.h"

std::array<int32_t, kFlashBlockCount + 1> FlashBlockTable{};

void InitTables()
{
    // Eight 4 KB blocks, one of 32 KB, three of 64 KB.
    FlashBlockTable = {0,       0x00000, 0x01000, 0x02000, 0x03000, 0x04000, 0x05000,
                       0x06000, 0x07000, 0x08000, 0x10000, 0x20000, 0x30000};
}

int16_t GetBlockNumber(int32_t address)
{
    for (int16_t k = 1; k < kFlashBlockCount; ++k) {
        if (address < FlashBlockTable[k + 1])
            return k;
    }
    return kFlashBlockCount;
}
