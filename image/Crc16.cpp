#include "Crc16.h"

uint16_t CalculateCrc(const uint8_t* bytes, int32_t first, int32_t last)
{
    uint16_t crc = 0;
    for (int32_t i = first; i <= last; ++i)
        crc = static_cast<uint16_t>(CrcTable[(crc & 0xFF) ^ bytes[i]] ^ HiByte(crc));
    return crc;
}
