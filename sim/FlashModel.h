#pragma once

#include "FirmwareImage.h"
#include "Protocol.h"

#include <cstdint>
#include <vector>

// A write that needed a 0 bit to become 1, which flash cannot do without an erase.
struct FlashViolation
{
    int32_t address;
    uint8_t before; // what the cell held
    uint8_t wanted; // what the write asked for
};

// The device's 256 KiB of flash in its 12 erase blocks (eight of 4 KiB, one of 32 KiB, three of
// 64 KiB). Erasing sets a block to 0xFF; programming can only clear bits.
class FlashModel
{
public:
    FlashModel() { m_bytes.fill(0xFF); }

    // Sets block 1..12 (the layout of Protocol.h) to 0xFF.
    void EraseBlock(int16_t block);
    // Programs count bytes from address; cells that would need a 1 from a 0 keep the AND of
    // old and new value (what real flash gives) and are recorded as violations.
    void Program(int32_t address, const uint8_t* data, int count);

    const FirmwareImage& Bytes() const { return m_bytes; }
    FirmwareImage& Bytes() { return m_bytes; }
    const std::vector<FlashViolation>& Violations() const { return m_violations; }

private:
    FirmwareImage m_bytes;
    std::vector<FlashViolation> m_violations;
};
