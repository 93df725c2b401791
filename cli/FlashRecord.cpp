#include "FlashRecord.h"

#include "EventSink.h"

#include <cstdio>
#include <mutex>

FlashRecord::FlashRecord(const RecordTarget& target) : m_recorder(target)
{
    const StoreResult opened = m_recorder.Open();
    if (!opened.warning.isEmpty())
        Warn(QStringLiteral("record: ") + opened.warning);
}

PortRun::TryEnd FlashRecord::BeginTry(const QString& port, EventSink& reporter) const
{
    return [this, &reporter, row = m_recorder.Begin(port)](const TryResult& result) mutable {
        const StoreResult stored = m_recorder.Append(row, result);
        if (stored.status == StoreStatus::NotStored)
            Warn(QStringLiteral("%1: this download is not recorded: %2")
                     .arg(row.port, stored.warning));
        else if (!stored.warning.isEmpty())
            Warn(QStringLiteral("%1: %2").arg(row.port, stored.warning));
        reporter.Outcome(result);
    };
}

void FlashRecord::Warn(const QString& warning) const
{
    static std::mutex oneAtATime;
    const std::lock_guard lock(oneAtATime);
    std::fprintf(stderr, "norvane-flash: warning: %s\n", qPrintable(warning));
}
