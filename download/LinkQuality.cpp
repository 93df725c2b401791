#include "LinkQuality.h"

#include "ReplyTimer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The middle wait (the mean of the two middle ones for an even count) and the largest,
// rounded to whole milliseconds.
ReplyWaits WaitsOf(std::vector<double> waits)
{
    ReplyWaits figures;
    figures.count = static_cast<int>(waits.size());
    if (waits.empty())
        return figures;
    std::sort(waits.begin(), waits.end());
    const size_t middle = waits.size() / 2;
    const double median =
        waits.size() % 2 == 1 ? waits[middle] : (waits[middle - 1] + waits[middle]) / 2;
    figures.medianMs = static_cast<int>(std::lround(median));
    figures.maxMs = static_cast<int>(std::lround(waits.back()));
    return figures;
}

} // namespace

LinkQuality LinkQualityOf(const ReplyTimer& timer)
{
    LinkQuality link;
    for (int kind = 0; kind < kReplyKinds; ++kind)
        link.waits[kind] = WaitsOf(timer.WaitsMs(static_cast<ReplyKind>(kind)));
    link.packetPhaseRatio = timer.PacketPhaseRatio();
    return link;
}

bool RepliesLate(const LinkQuality& link)
{
    const ReplyWaits& program = link.Of(ReplyKind::Program);
    return program.count > 0 && program.medianMs > kLateReplyMs;
}

QString LateRepliesNote(const LinkQuality& link)
{
    if (!RepliesLate(link))
        return QString();
    return QStringLiteral("replies %1 ms late").arg(link.Of(ReplyKind::Program).medianMs);
}
