#pragma once

#include <array>
#include <cstdint>

// CRC-16/ARC (polynomial 0x8005 bit-reflected as 0xA001, start 0, no final XOR), used for the
// image CRC the user sees and for every bootloader packet.

namespace crc16detail {
constexpr std::array<uint16_t, 256> MakeCrcTable()
{
    std::array<uint16_t, 256> table{};
    for (uint16_t i = 0; i < table.size(); ++i) {
        uint16_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? static_cast<uint16_t>((c >> 1) ^ 0xA001) : static_cast<uint16_t>(c >> 1);
        table[i] = c;
    }
    return table;
}
} // namespace crc16detail

// Entry i is the CRC of the single byte i; built by the compiler, so nothing has to be
// initialised before the first CRC.
inline constexpr std::array<uint16_t, 256> CrcTable = crc16detail::MakeCrcTable();

// CRC of bytes[first..last], both included; 0 when first > last.
uint16_t CalculateCrc(const uint8_t* bytes, int32_t first, int32_t last);

// Bits 15..8 of a 16-bit value.
inline uint8_t HiByte(uint16_t value)
{
    return static_cast<uint8_t>(value >> 8);
}
