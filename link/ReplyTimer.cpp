#include "ReplyTimer.h"

#include "Protocol.h"

#include <algorithm>

namespace {

double WireMs(int64_t bytes)
{
    return LineSeconds(bytes) * 1000.0;
}

bool IsPacketPhase(ReplyKind kind)
{
    return kind == ReplyKind::Erase || kind == ReplyKind::Program ||
           kind == ReplyKind::EraseProgram;
}

} // namespace

void ReplyTimer::Clear()
{
    for (std::vector<double>& waits : m_waits)
        waits.clear();
    m_kind = ReplyKind::Poll;
    m_inPacketPhase = false;
    m_phaseBytes = 0;
    m_pendingBytes = 0;
}

void ReplyTimer::CommandSent(ReplyKind kind, int32_t bytes)
{
    const int32_t now = m_host.TickCount();
    m_kind = kind;
    m_sentAt = now;
    m_commandWireMs = WireMs(bytes);
    m_repliesFollowed = 0;
    if (!IsPacketPhase(kind))
        return;
    if (!m_inPacketPhase) {
        m_inPacketPhase = true;
        m_phaseStart = now;
    }
    m_pendingBytes += bytes;
}

void ReplyTimer::ReplyArrived(int32_t bytes)
{
    const int32_t now = m_host.TickCount();
    m_repliesFollowed += bytes;
    const double waitMs = TicksBetween(m_sentAt, now) - m_commandWireMs - WireMs(m_repliesFollowed);
    m_waits[static_cast<int>(m_kind)].push_back(std::max(0.0, waitMs));
    if (IsPacketPhase(m_kind)) {
        m_phaseEnd = now;
        m_phaseBytes += m_pendingBytes + bytes;
        m_pendingBytes = 0;
    }
}

double ReplyTimer::PacketPhaseRatio() const
{
    if (m_phaseBytes == 0)
        return 0;
    return TicksBetween(m_phaseStart, m_phaseEnd) / WireMs(m_phaseBytes);
}
