#include "RunResult.h"

#include "DownloadTexts.h"

RunResult RunResult::Failure(const FailureReason& reason)
{
    return {OutcomeOf(reason.kind), false, reason, nullptr};
}

QString RunResult::Detail() const
{
    if (outcome != Outcome::Downloaded)
        return ReasonText(reason);
    const QString crc = firmware ? CrcText(firmware->crc) : QString();
    return (verified ? QStringLiteral("verified by the device, CRC %1h")
                     : QStringLiteral("no header was due, CRC %1h"))
        .arg(crc);
}
