#include "FlashModel.h"

#include <algorithm>
#include <array>

namespace {

// The device's own block layout (start addresses of blocks 1..12, and the end).
constexpr std::array<int32_t, FlashModel::kBlockCount + 1> kBlockBounds{
    0x00000, 0x01000, 0x02000, 0x03000, 0x04000, 0x05000,   0x06000,
    0x07000, 0x08000, 0x10000, 0x20000, 0x30000, kImageSize};

} // namespace

int32_t FlashModel::BlockStart(int block)
{
    return kBlockBounds.at(block - 1);
}

int32_t FlashModel::BlockSize(int block)
{
    return kBlockBounds.at(block) - kBlockBounds.at(block - 1);
}

void FlashModel::EraseBlock(int block)
{
    const auto start = m_bytes.begin() + BlockStart(block);
    std::fill(start, start + BlockSize(block), 0xFF);
}

void FlashModel::Program(int32_t address, const uint8_t* data, int count)
{
    for (int i = 0; i < count; ++i) {
        uint8_t& cell = m_bytes.at(address + i);
        if ((data[i] & ~cell) != 0)
            m_violations.push_back({address + i, cell, data[i]});
        cell &= data[i];
    }
}
