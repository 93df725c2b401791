#pragma once

#include "DownloadRecord.h"
#include "RecordFilter.h"
#include "RecordTarget.h"

#include <QString>

#include <vector>

// How a write to the record went. Anything but Stored comes with a warning for the user;
// none of them fails a download.
enum class [[nodiscard]] StoreStatus{
    Stored,           // in the record (on the server, for a server)
    WaitingForServer, // the server could not be reached: kept in the local file, sent later
    NotStored         // neither the record nor the local file could be written
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
// A row for a server goes into the local file first, marked unsent, then to the server, then
// its mark is cleared. A row is never lost between the two, and one sent twice (the server
// took it but the answer was lost) is kept once, as the server ignores a row id it has.
class RecordStore
{
public:
    explicit RecordStore(RecordTarget target);

    // Creates the table where it is missing and sends the rows that wait for the server.
    StoreResult Open() const;

    // Appends one row. For a server, rows still waiting are sent first.
    StoreResult Append(const DownloadRecord& record) const;

    // The rows matching filter, from the server for a server. Only reads (a reader may not be
    // allowed to write): a record without the table lists nothing.
    QueryResult Query(const RecordFilter& filter) const;

    // The number of rows in the local file still waiting for the server.
    int UnsentCount() const;

private:
    StoreResult SendUnsent(class RecordConnection& server) const;

    RecordTarget m_target;
};
