#include "FlashModel.h"

#include <algorithm>

void FlashModel::EraseBlock(int16_t block)
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
