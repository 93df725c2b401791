#pragma once

#include "SerialTransport.h"

#include <atomic>
#include <cstdint>

// Time-outs and limits of the bootloader exchange.
constexpr int32_t kReplyTimeoutMs = 7500;   // per reply byte of a packet command
constexpr int32_t kPollTimeoutMs = 100;     // per byte of the answer to one poll
constexpr int32_t kPollPauseMs = 50;        // pause after every poll
constexpr int32_t kMaxPolls = 200;          // about 30 s without an answer: not started
constexpr int32_t kVerifyTimeoutMs = 10000; // per byte of the device's verify report

// Reply codes (byte 1 of a two-byte reply).
constexpr uint8_t kReplyEraseAccepted = 1;
constexpr uint8_t kReplyEraseComplete = 2;
constexpr uint8_t kReplyProgramAccepted = 3;
constexpr uint8_t kReplyProgramComplete = 4;
constexpr uint8_t kReplyBootloaderReady = 5;
constexpr uint8_t kReplyApplicationVerified = 6;

constexpr int kStepSize = 128; // data bytes of one program packet

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
