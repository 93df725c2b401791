#pragma once

#include "Protocol.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

// Why the bootloader refused a frame. A refused frame is not executed and not answered.
enum class RejectReason
{
    BadLength,      // a length byte no command has, or one that does not fit the command
    BadCrc,         // the CRC-16 over length, command and parameters does not match
    UnknownCommand, // a command code the bootloader does not know
    BadPoll,        // "~#" not followed by the rest of the poll string
    Incomplete,     // the line fell silent in the middle of a frame
    BadParameter,   // a sound packet asking for a block or address the flash does not have
};

const char* RejectReasonName(RejectReason reason);

// One frame as the bootloader sees it on the line.
struct ParsedFrame
{
    enum class Kind
    {
        Poll,
        Packet,
        Rejected
    };
    Kind kind;
    QByteArray bytes;                              // the whole frame, start byte included
    RejectReason reason = RejectReason::BadLength; // only for Rejected

    uint8_t Command() const { return bytes.size() > 2 ? static_cast<uint8_t>(bytes.at(2)) : 0; }
};

// Splits the byte stream the bootloader receives into polls ("~# 0155") and packets
// (0x7E, length, command, parameters, CRC-16 high and low), checking length, CRC and command.
// Bytes outside a frame are skipped. A pure state machine: no clock, no output.
class PacketParser
{
public:
    static constexpr int kMaxLength = kProgramPacketLength - 2; // length byte of the longest packet

    PacketParser();

    // Takes the next byte; returns a frame when this byte completed one.
    std::optional<ParsedFrame> Feed(uint8_t byte);

    // Gives up a frame that was cut short (the line fell silent); nothing when between frames.
    std::optional<ParsedFrame> Abandon();

    bool InFrame() const { return !m_frame.isEmpty(); }
    int64_t SkippedBytes() const { return m_skipped; }

    // The length byte a known command's packet carries; 0 for an unknown command.
    static uint8_t LengthOfCommand(uint8_t command);

private:
    std::optional<ParsedFrame> FeedPoll(uint8_t byte);
    std::optional<ParsedFrame> FinishPacket();
    ParsedFrame Reject(RejectReason reason);

    QByteArray m_frame;
    int64_t m_skipped = 0;
};
