#pragma once

#include <array>
#include <cstdint>

constexpr int16_t kFlashBlockCount = 12;

// Start address of each of the device's 12 erase blocks; entry 0 is unused so that block k
// is entry k.
extern std::array<int32_t, kFlashBlockCount + 1> FlashBlockTable;

// Builds the CRC table and the flash block table; called once at start-up.
void InitTables();

// The block (1 to 12) that holds an address: below 0x1000 (negative included) is block 1,
// 0x30000 and above is block 12.
int16_t GetBlockNumber(int32_t address);
