#include "FlashRecord.h"

#include "DownloadTexts.h"
#include "EventSink.h"
#include "StopSignals.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

// How long a normal end waits for the rows still to go, and any end for the sender to end.
constexpr int kDeliverAtEndMs = 3000;
constexpr int kSenderEndMs = 200;

} // namespace

FlashRecord::FlashRecord(const RecordTarget& target, EventSink& reporter, const Firmware& firmware)
    : m_reporter(reporter), m_events(reporter, DownloadedStatus(firmware.crc)), m_recorder(target),
      m_sender(RecordStore(target),
               [](const QString& warning) { Warn(QStringLiteral("record: ") + warning); })
{
    const StoreResult opened = m_recorder.Open();
    m_openWarning = opened.warning;
    if (!m_openWarning.isEmpty())
        Warn(QStringLiteral("record: ") + m_openWarning);
}

PortRun::TryEnd FlashRecord::BeginTry(const QString& port)
{
    return [this, row = m_recorder.Begin(port)](const TryResult& result) mutable {
        const StoreResult stored = m_recorder.Append(row, result);
        switch (stored.status) {
        case StoreStatus::Stored:
        case StoreStatus::WaitingForServer:
            m_sender.RowAppended();
            break;
        case StoreStatus::Locked:
            m_sender.Keep(row);
            Warn(QStringLiteral("%1: %2; the row is kept in memory and written when the record "
                                "is free")
                     .arg(row.port, stored.warning));
            break;
        case StoreStatus::NotStored:
            // Why, when the record could not be opened, has been said once at the start.
            if (stored.warning == m_openWarning)
                Warn(QStringLiteral("%1: this download is not recorded").arg(row.port));
            else
                Warn(QStringLiteral("%1: this download is not recorded: %2")
                         .arg(row.port, stored.warning));
            break;
        }
        m_events.RowWritten(row.port);
        m_reporter.Outcome(result);
    };
}

int FlashRecord::End(StopSignals& stops, int exitCode)
{
    RecordSender::Left left;
    if (StopSignals::Requested())
        left = m_sender.Waiting();
    else // a stop meanwhile ends the program at once
        stops.EndAtOnceOnStopWhile(exitCode, [&] { left = m_sender.Deliver(kDeliverAtEndMs); });
    const QString& file = m_recorder.Target().file;
    if (left.kept == 1)
        Warn(QStringLiteral("record: 1 download is not recorded: %1 stayed locked").arg(file));
    else if (left.kept > 1)
        Warn(QStringLiteral("record: %1 downloads are not recorded: %2 stayed locked")
                 .arg(left.kept)
                 .arg(file));
    const QString server = m_recorder.Target().ServerName();
    if (left.unsent == 1)
        Warn(QStringLiteral("record: 1 row waits in %1 for the record server %2; it goes with "
                            "the next run")
                 .arg(file, server));
    else if (left.unsent > 1)
        Warn(QStringLiteral("record: %1 rows wait in %2 for the record server %3; they go with "
                            "the next run")
                 .arg(left.unsent)
                 .arg(file, server));
    if (!m_sender.Quit(kSenderEndMs)) {
        // The sender is inside a call to the server, which returns at the server's time-outs
        // at the latest; a thread cannot be joined before, and Qt's globals must not be
        // destroyed under it. The output is written: end here without destroying anything.
        std::fflush(nullptr);
        std::_Exit(exitCode);
    }
    return exitCode;
}

void FlashRecord::Warn(const QString& warning)
{
    static std::mutex oneAtATime;
    const std::lock_guard lock(oneAtATime);
    std::fprintf(stderr, "norvane-flash: warning: %s\n", qPrintable(warning));
}
