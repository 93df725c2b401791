#pragma once

#include "Protocol.h"
#include "SerialTransport.h"

#include <atomic>
#include <cstdint>

// Checksum the application header carries: minus the sum of bytes first..last (0 when empty).
int32_t CalculateChecksum(const uint8_t* bytes, int32_t first, int32_t last);

// The device's bootloader commands, each sent with its CRC and judged by its replies.
// The packet commands return 0 on success and 1 on failure; StartBootloader returns 1 when
// the bootloader is ready and 2 when it did not start (cancelled or no answer).
class Bootloader
{
public:
    Bootloader(SerialTransport& transport, const std::atomic<bool>& cancel);

    int16_t StartBootloader();
    int16_t EraseBlock(int16_t block);
    int16_t ProgramFlashBlock(const uint8_t* data128, int32_t address);
    int16_t EraseProgramFlashBlock(int16_t block, const uint8_t* data128, int32_t address);
    int16_t ProgramAppHeader(int32_t lastAddress, int16_t crc, int32_t checksum);

private:
    int16_t Exchange(uint8_t* packet, int32_t length, const uint8_t* replies, int replyCount);

    SerialTransport& m_transport;
    const std::atomic<bool>& m_cancel;
};
