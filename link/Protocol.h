#pragma once

#include "FirmwareImage.h"

#include <array>
#include <cstdint>

// The bootloader protocol in numbers, and the device's flash block layout: what the host sends,
// what the device answers, how long the host waits, and where each erase block begins. The
// host's bootloader commands, the download plan, the command line and the virtual device all
// take their numbers from here.

// The two strings the running application understands: hand over to the bootloader, and the
// poll the bootloader answers with kReplyBootloaderReady.
inline constexpr char kStartBootloaderString[] = "# 017b";
inline constexpr char kPollString[] = "~# 0155";

// The line: 19200 baud, 8 data bits, no parity, 1 stop bit, so a byte takes 10 bits on the
// wire (start bit, 8 data bits, stop bit).
constexpr int32_t kLineBaud = 19200;
constexpr int32_t kLineBitsPerByte = 10;

// The time the given number of bytes take on the wire, in whole milliseconds (rounded down)
// and in seconds.
constexpr int64_t LineMilliseconds(int64_t bytes)
{
    return bytes * 1000 * kLineBitsPerByte / kLineBaud;
}
constexpr double LineSeconds(int64_t bytes)
{
    return static_cast<double>(bytes) * kLineBitsPerByte / kLineBaud;
}

// Packet frame: start byte, length (the bytes after it, CRC included), command, parameters,
// CRC-16 high and low. Replies are two bytes: the start byte and a reply code.
constexpr uint8_t kStartByte = 0x7E;
constexpr int32_t kReplyLength = 2;

constexpr uint8_t kCommandProgram = 0x01;
constexpr uint8_t kCommandErase = 0x02;
constexpr uint8_t kCommandEraseProgram = 0x03;
constexpr uint8_t kCommandHeader = 0x04;

// Whole packet lengths on the wire, start byte and CRC included.
constexpr int32_t kErasePacketLength = 6;
constexpr int32_t kProgramPacketLength = 139; // also the erase-and-program packet
constexpr int32_t kHeaderPacketLength = 17;

// The packet length of a command; 0 for a code the bootloader does not know.
constexpr int32_t PacketLength(uint8_t command)
{
    switch (command) {
    case kCommandProgram:
    case kCommandEraseProgram:
        return kProgramPacketLength;
    case kCommandErase:
        return kErasePacketLength;
    case kCommandHeader:
        return kHeaderPacketLength;
    default:
        return 0;
    }
}

// Reply codes (byte 1 of a reply).
constexpr uint8_t kReplyEraseAccepted = 1;
constexpr uint8_t kReplyEraseComplete = 2;
constexpr uint8_t kReplyProgramAccepted = 3;
constexpr uint8_t kReplyProgramComplete = 4;
constexpr uint8_t kReplyBootloaderReady = 5;
constexpr uint8_t kReplyApplicationVerified = 6;
constexpr uint8_t kReplyVerifyRefused = 7; // CRC or checksum of the header did not match

// Time-outs and limits of the exchange.
constexpr int32_t kReplyTimeoutMs = 7500;   // per reply byte of a packet command
constexpr int32_t kPollTimeoutMs = 100;     // per byte of the answer to one poll
constexpr int32_t kPollPauseMs = 50;        // pause after every poll
constexpr int32_t kMaxPolls = 200;          // about 30 s without an answer: not started
constexpr int32_t kVerifyTimeoutMs = 10000; // per byte of the device's verify report

constexpr int32_t kStepSize = 128; // data bytes of one program packet

// The flash's 12 erase blocks: eight of 4 KB, one of 32 KB, three of 64 KB. Entry k - 1 is the
// start of block k; the last entry is the end of the flash.
constexpr int16_t kFlashBlockCount = 12;
constexpr std::array<int32_t, kFlashBlockCount + 1> kFlashBlockBounds{
    0x00000, 0x01000, 0x02000, 0x03000, 0x04000, 0x05000,   0x06000,
    0x07000, 0x08000, 0x10000, 0x20000, 0x30000, kImageSize};

// The header is due when this block, which holds the vectors, was erased.
constexpr int16_t kHeaderBlock = 1;

constexpr int32_t BlockStart(int16_t block)
{
    return kFlashBlockBounds.at(static_cast<std::size_t>(block - 1));
}

constexpr int32_t BlockSize(int16_t block)
{
    return kFlashBlockBounds.at(static_cast<std::size_t>(block)) - BlockStart(block);
}

// The block (1 to 12) that holds an address: below 0x1000 (negative included) is block 1,
// 0x30000 and above is block 12.
constexpr int16_t GetBlockNumber(int32_t address)
{
    for (int16_t k = 1; k < kFlashBlockCount; ++k) {
        if (address < BlockStart(static_cast<int16_t>(k + 1)))
            return k;
    }
    return kFlashBlockCount;
}

namespace protocol_checks {
constexpr bool StepsNeverStraddleBlocks()
{
    for (const int32_t bound : kFlashBlockBounds) {
        if (bound % kStepSize != 0)
            return false;
    }
    return true;
}
static_assert(StepsNeverStraddleBlocks(), "a 128-byte step must lie in one block");
} // namespace protocol_checks
