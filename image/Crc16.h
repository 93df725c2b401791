#pragma once

#include <array>
#include <cstdint>

// CRC-16/ARC (polynomial 0x8005 bit-reflected as 0xA001, start 0, no final XOR), used for the
// image CRC the user sees and for every bootloader packet.
extern std::array<uint16_t, 256> CrcTable;

// Fills CrcTable; called once at start-up before the first CRC is computed.
void InitCrcTable();

// CRC of bytes[first..last], both included; 0 when first > last.
uint16_t CalculateCrc(const uint8_t* bytes, int32_t first, int32_t last);

// Bits 15..8 of a 16-bit value.
inline uint8_t HiByte(uint16_t value)
{
    return static_cast<uint8_t>(value >> 8);
}
