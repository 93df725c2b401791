#include "TryRecord.h"

#include "DownloadTexts.h"

#include <utility>

TryRecord::TryRecord(const RecordTarget& target, RunEvents& events, const Firmware& firmware,
                     Warn warn, Shown shown, int busyTimeoutMs)
    : m_warn(std::move(warn)), m_shown(std::move(shown)),
      m_events(events, DownloadedStatus(firmware.crc)), m_recorder(target, busyTimeoutMs),
      // The sender's thread may outlive this: it keeps a warn of its own.
      m_sender(RecordStore(target, busyTimeoutMs), [warn = m_warn](const QString& warning) {
          warn(QStringLiteral("record: ") + warning);
      })
{
    const StoreResult opened = m_recorder.Open();
    m_openWarning = opened.warning;
    if (!m_openWarning.isEmpty())
        m_warn(QStringLiteral("record: ") + m_openWarning);
}

PortRun::TryEnd TryRecord::BeginTry(const QString& port)
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
            m_warn(QStringLiteral("%1: %2; the row is kept in memory and written when the record "
                                  "is free")
                       .arg(row.port, stored.warning));
            break;
        case StoreStatus::NotStored:
            WarnNotWritten(row.port, stored);
            break;
        }
        m_events.RowWritten(row.port);
        m_shown(result);
    };
}

void TryRecord::WarnNotWritten(const QString& port, const StoreResult& stored) const
{
    // Why, when the record could not be opened, has been said once at the start.
    if (stored.warning == m_openWarning)
        m_warn(QStringLiteral("%1: this download is not recorded").arg(port));
    else
        m_warn(QStringLiteral("%1: this download is not recorded: %2").arg(port, stored.warning));
}

void TryRecord::WarnLeft(const RecordSender::Left& left) const
{
    const QString& file = m_recorder.Target().file;
    if (left.kept == 1)
        m_warn(QStringLiteral("record: 1 download is not recorded: %1 stayed locked").arg(file));
    else if (left.kept > 1)
        m_warn(QStringLiteral("record: %1 downloads are not recorded: %2 stayed locked")
                   .arg(left.kept)
                   .arg(file));
    const QString server = m_recorder.Target().ServerName();
    if (left.unsent == 1)
        m_warn(QStringLiteral("record: 1 row waits in %1 for the record server %2; it goes with "
                              "the next run")
                   .arg(file, server));
    else if (left.unsent > 1)
        m_warn(QStringLiteral("record: %1 rows wait in %2 for the record server %3; they go with "
                              "the next run")
                   .arg(left.unsent)
                   .arg(file, server));
}
