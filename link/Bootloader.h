#pragma once

#include "FailureReason.h"
#include "Protocol.h"
#include "ReplyTimer.h"
#include "SerialTransport.h"

#include <atomic>
#include <cstdint>

// Checksum the application header carries: minus the sum of bytes first..last (0 when empty).
int32_t CalculateChecksum(const uint8_t* bytes, int32_t first, int32_t last);

// How a packet command went: succeeded, or failed for the reason given.
struct [[nodiscard]] CommandResult
{
    FailureReason failure; // kind None: the command succeeded

    bool Succeeded() const { return failure.kind == FailureKind::None; }
};

// How starting the bootloader ended.
enum class [[nodiscard]] BootloaderStart{
    Ready,     // the device answered a poll with the ready code
    NoAnswer,  // kMaxPolls polls went unanswered
    Cancelled, // the cancel flag was set between polls
    LineLost,  // the line went away
};

// The device's bootloader commands, each sent with its CRC and judged by its replies.
class Bootloader
{
public:
    Bootloader(SerialTransport& transport, const std::atomic<bool>& cancel);

    BootloaderStart StartBootloader();
    CommandResult EraseBlock(int16_t block);
    CommandResult ProgramFlashBlock(const uint8_t* data128, int32_t address);
    CommandResult EraseProgramFlashBlock(int16_t block, const uint8_t* data128, int32_t address);
    CommandResult ProgramAppHeader(int32_t lastAddress, int16_t crc, int32_t checksum);

    // Waits for the device's report on the header just programmed: verified (code 6) or not.
    CommandResult AwaitVerify();

    // How long the replies to the commands above took to come.
    ReplyTimer& Replies() { return m_replies; }
    const ReplyTimer& Replies() const { return m_replies; }

private:
    CommandResult Exchange(uint8_t* packet, int32_t length, const uint8_t* replies, int replyCount,
                           FailureReason subject);
    // Reads one reply of the command in subject; its failure when none came in time.
    FailureReason ReadReply(FailureReason subject, int32_t timeoutMs, uint8_t& code);

    SerialTransport& m_transport;
    const std::atomic<bool>& m_cancel;
    ReplyTimer m_replies;
};
