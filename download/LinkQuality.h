#pragma once

#include "ReplyKind.h"

#include <QString>

#include <array>

class ReplyTimer;

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

// Replies to the program command whose median wait is above this come late. The device
// answers a program packet within about 2 ms (the reply it accepts it with, then the one when
// the 128 bytes are programmed); a USB-serial adapter with its latency timer at the usual
// 16 ms holds every reply back for up to that long. The bound lies between the two, so a late
// adapter shows on a station of its own, with no other adapters to compare it with.
inline constexpr int kLateReplyMs = 8;

// The figures of what the timer measured in a try.
LinkQuality LinkQualityOf(const ReplyTimer& timer);

// True when the program command's replies came late (median above kLateReplyMs).
bool RepliesLate(const LinkQuality& link);

// A few words for a station tile when the replies came late ("replies 17 ms late": the median
// wait of the program command); empty otherwise.
QString LateRepliesNote(const LinkQuality& link);
