#pragma once

#include <array>

// The kinds of command whose replies the line's figures tell apart.
enum class ReplyKind
{
    Poll,         // a poll while the bootloader starts
    Erase,        // erase a block
    Program,      // program a packet
    EraseProgram, // erase a block and program its first packet
    Header,       // program the application header
    Verify,       // the device's report on the image it checked
};
inline constexpr int kReplyKinds = 6;

// The waits for the replies to one kind of command in one try, in milliseconds.
struct ReplyWaits
{
    int count = 0; // replies waited for; 0: the figures below mean nothing
    int medianMs = 0;
    int maxMs = 0;
};

// How the line behaved in one try: how long the device's replies took to come, per kind of
// command, and how long the packet phase took against the least time its bytes need on the
// wire (bytes x 10 bits / 19200 baud).
struct LinkQuality
{
    std::array<ReplyWaits, kReplyKinds> waits{};
    double packetPhaseRatio = 0; // 0: no packet was exchanged

    const ReplyWaits& Of(ReplyKind kind) const { return waits[static_cast<int>(kind)]; }
    ReplyWaits& Of(ReplyKind kind) { return waits[static_cast<int>(kind)]; }
};
