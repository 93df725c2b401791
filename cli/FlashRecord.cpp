#include "FlashRecord.h"

#include "FirmwareFile.h"
#include "PortNaming.h"
#include "RunRecord.h"
#include "StationFacts.h"

#include <cstdio>
#include <mutex>

FlashRecord::FlashRecord(const RecordTarget& target, const QString& fileName,
                         const FirmwareImage& image, int32_t startAddr, int32_t endAddr)
    : m_store(target), m_fileName(fileName), m_sha256(FileSha256(fileName)),
      m_crc(CalculateApplicationChecks(image, endAddr).crc),
      m_plan(PlanDownload(image, startAddr, endAddr))
{
    const StoreResult opened = m_store.Open();
    if (!opened.warning.isEmpty())
        Warn(QStringLiteral("record: ") + opened.warning);
}

DownloadRecord FlashRecord::Begin(const QString& port) const
{
    DownloadRecord row = BeginRecord(port, ResolvePortName(port), m_fileName, m_sha256);
    RecordImage(row, m_crc, m_plan);
    return row;
}

void FlashRecord::Append(DownloadRecord& row, const FlashSummary& summary) const
{
    row.outcome = OutcomeWord(summary.exitCode);
    row.exitCode = static_cast<int>(summary.exitCode);
    row.reason = ReasonWord(summary.reason.kind);
    row.detail = summary.detail;
    FinishRecord(row);
    const StoreResult stored = m_store.Append(row);
    if (stored.status == StoreStatus::NotStored)
        Warn(QStringLiteral("%1: this download is not recorded: %2").arg(row.port, stored.warning));
    else if (!stored.warning.isEmpty())
        Warn(QStringLiteral("%1: %2").arg(row.port, stored.warning));
}

void FlashRecord::Warn(const QString& warning) const
{
    static std::mutex oneAtATime;
    const std::lock_guard lock(oneAtATime);
    std::fprintf(stderr, "norvane-flash: warning: %s\n", qPrintable(warning));
}
