#pragma once

#include <QString>

// What a file named as the record, or as an output beside it, is: so that no command writes
// into a file that is not its record, and no output replaces the record.

// Whether the file is a regular file that begins as every SQLite database does.
bool IsSqliteFile(const QString& file);

// Why file cannot be the record, in words that name it; empty when it can be: a missing or
// empty file, a file that is no database at all (SQLite says so when it is used), or a record.
// It cannot be a FIFO, a device or a folder (reading those would block or fail), nor a
// database of another program: one with tables but no downloads table with the record's
// columns, which would silently gain a table.
QString RecordFileProblem(const QString& file);

// What writing output would replace of the record at recordFile or of the default record
// (made yet or not), under any name (links, "..", hard links): "is the record", "is a journal of
// the record", or, for any SQLite database, "is a SQLite database". Empty when output replaces none
// of them.
QString OutputClashWithRecord(const QString& output, const QString& recordFile);
