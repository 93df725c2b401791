#pragma once

#include "Host.h"
#include "ReplyKind.h"

#include <array>
#include <cstdint>
#include <vector>

// Measures how long the device's replies take, per kind of command, and the span of the
// packet phase (erase and program packets), so that a line whose replies come late (a USB
// adapter holding bytes back for its latency timer) shows.
//
// The wait for a reply runs from the moment the command's last byte can have left the wire to
// the moment the whole reply is in, less the wire time of that reply and of the replies of the
// same command before it. Writes do not block, so the command's own wire time (bytes x 10 bits
// at 19200 baud from the write) is taken off: what is left is the device's work and the line's
// delay, not our sending. Every reply counts from its command, not from the reply before it:
// an adapter that holds each reply back alike would otherwise show only in the first. A reply
// with no command of its own (the verify report) counts from the command before it. Ticks are whole
// milliseconds: a wait is good to about 1 ms, and one that comes out below 0 (a line faster than
// the wire, as the unpaced virtual device) is 0.
class ReplyTimer
{
public:
    explicit ReplyTimer(Host& host) : m_host(host) {}

    // Forgets everything measured: a new run begins.
    void Clear();

    // A command of the given length has just been written; its replies are of this kind.
    void CommandSent(ReplyKind kind, int32_t bytes);
    // The next replies are of this kind and answer the command sent last (the verify report).
    void AwaitKind(ReplyKind kind) { m_kind = kind; }
    // A whole reply of the given length has come in.
    void ReplyArrived(int32_t bytes);

    // Every wait measured for replies of this kind, in milliseconds, in order.
    const std::vector<double>& WaitsMs(ReplyKind kind) const
    {
        return m_waits[static_cast<int>(kind)];
    }
    // The time from the first erase or program packet sent to the last one's last reply,
    // against the least time the bytes exchanged meanwhile need on the wire; 0 when no packet
    // was answered.
    double PacketPhaseRatio() const;

private:
    Host& m_host;
    ReplyKind m_kind = ReplyKind::Poll;
    int32_t m_sentAt = 0;          // tick of the command's write
    double m_commandWireMs = 0;    // its time on the wire
    int32_t m_repliesFollowed = 0; // bytes of the command's replies in so far
    std::array<std::vector<double>, kReplyKinds> m_waits;

    bool m_inPacketPhase = false;
    int32_t m_phaseStart = 0;
    int32_t m_phaseEnd = 0;
    int64_t m_phaseBytes = 0;   // sent and received in the phase, up to its last reply
    int64_t m_pendingBytes = 0; // sent in the phase since its last reply
};
