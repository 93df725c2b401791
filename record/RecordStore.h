#pragma once

#include "DownloadRecord.h"
#include "RecordFilter.h"
#include "RecordTarget.h"

#include <QString>

#include <vector>

// How a write to the record went. Anything but Stored comes with a warning for the user;
// none of them fails a download.
enum class [[nodiscard]] StoreStatus{
    Stored,           // committed: in the record, or for a server in the local file it is sent from
    WaitingForServer, // the server could not take the rows: they wait in the local file
    Locked,    // the file stayed locked past the busy time-out: nothing written, try again later
    NotStored, // the file cannot be written
};

struct StoreResult
{
    StoreStatus status = StoreStatus::Stored;
    QString warning; // what went wrong, in words; empty when Stored
};

struct QueryResult
{
    std::vector<DownloadRecord> rows; // newest first
    QString error;                    // empty when the query ran
};

// The record of downloads: a SQLite file, or a PostgreSQL server with a local SQLite file
// that keeps every row until the server has it. Every call opens its own connection on the
// calling thread, so worker threads and other processes append at the same time.
//
// A row for a server goes into the local file only, marked unsent; SendUnsent takes the
// waiting rows to the server and clears their mark. A row is never lost between the two, and
// one sent twice (the server took it but the answer was lost) is kept once, as the server
// ignores a row id it has.
class RecordStore
{
public:
    static constexpr int kBusyTimeoutMs = 10000;
    explicit RecordStore(RecordTarget target, int busyTimeoutMs = kBusyTimeoutMs);

    const RecordTarget& Target() const { return m_target; }

    // Creates the table of the local file where it is missing.
    StoreResult Open() const;

    // Appends one row to the local file; for a server, marked unsent.
    StoreResult Append(const DownloadRecord& record) const;

    // For a server: creates its table where it is missing and sends the rows waiting in the
    // local file, oldest first. Waits no longer than the server's time-outs.
    StoreResult SendUnsent() const;

    // The rows matching filter, from the server for a server. Only reads (a reader may not be
    // allowed to write): a record without the table lists nothing.
    QueryResult Query(const RecordFilter& filter) const;

    // The number of rows in the local file still waiting for the server.
    int UnsentCount() const;

private:
    RecordTarget m_target;
    int m_busyTimeoutMs;
};
