#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>

// Upper-case hexadecimal digits of a bit pattern, without leading zeros ("0" for zero),
// padded on the left with "0" to `width` characters; a longer text is not cut.
std::string FormatHexBits(uint32_t bits, int16_t width);

// Hexadecimal text of a value taken as the bit pattern of its own width: the 16-bit value -1
// gives "FFFF", the 32-bit value -1 "FFFFFFFF".
template <std::integral T>
requires(sizeof(T) <= sizeof(uint32_t)) std::string FormatHex(T value, int16_t width)
{
    using Bits = std::make_unsigned_t<T>;
    return FormatHexBits(static_cast<uint32_t>(static_cast<Bits>(value)), width);
}
