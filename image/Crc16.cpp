#include "Crc16.h"

std::array<uint16_t, 256> CrcTable{};

void InitCrcTable()
{
    for (uint16_t i = 0; i < CrcTable.size(); ++i) {
        uint16_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? static_cast<uint16_t>((c >> 1) ^ 0xA001) : static_cast<uint16_t>(c >> 1);
        CrcTable[i] = c;
    }
}

uint16_t CalculateCrc(const uint8_t* bytes, int32_t first, int32_t last)
{
    uint16_t crc = 0;
    for (int32_t i = first; i <= last; ++i)
        crc = static_cast<uint16_t>(CrcTable[(crc & 0xFF) ^ bytes[i]] ^ HiByte(crc));
    return crc;
}
