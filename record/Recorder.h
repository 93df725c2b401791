#pragma once

#include "DownloadRecord.h"
#include "RecordStore.h"
#include "RecordTarget.h"
#include "RunResult.h"

#include <QString>

// Writes every try of a download to the record, for whichever program ran it. A row starts as
// the try starts (who, where, which adapter) and is appended once the try has ended, with the
// facts of the firmware the try used and how it ended.
class Recorder
{
public:
    // A write waits up to busyTimeoutMs for a file that another connection holds locked.
    explicit Recorder(const RecordTarget& target, int busyTimeoutMs = RecordStore::kBusyTimeoutMs)
        : m_store(target, busyTimeoutMs)
    {
    }

    const RecordTarget& Target() const { return m_store.Target(); }

    // Creates the table of the local file where it is missing.
    StoreResult Open() const { return m_store.Open(); }

    // The row of a try that starts now on port: its id and start time, this station and user,
    // the program and its version, the port as named and the device it reached (a link is
    // followed), and the USB adapter behind it, looked up while it is there.
    static DownloadRecord Begin(const QString& port);

    // Ends the row as the try ended and appends it to the local file. Called from any thread.
    StoreResult Append(DownloadRecord& row, const TryResult& result) const;

private:
    RecordStore m_store;
};
