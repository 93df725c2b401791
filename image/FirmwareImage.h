#pragma once

#include <array>
#include <cstdint>

// The device's whole flash address space, 0 to 0x3FFFF, indexed by address. Bytes that no
// record fills hold 0xFF, the erased flash value.
constexpr int32_t kImageSize = 0x40000;
constexpr int32_t kLastImageAddress = kImageSize - 1;
constexpr int32_t kApplicationStart = 0x3000; // CRC and checksum cover 0x3000..end address

using FirmwareImage = std::array<uint8_t, kImageSize>;
