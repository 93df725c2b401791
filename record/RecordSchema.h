#pragma once

#include "DownloadRecord.h"
#include "RecordFilter.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariantList>

// The table of downloads, the same on SQLite and on PostgreSQL. A local file has one more
// column, unsent_to: the server a row still waits for (NULL once it has it, or when the
// file itself is the record).
enum class TableKind
{
    Server,
    LocalFile
};

QString CreateTableSql(TableKind kind);
QString CreateIndexSql();

// The statements that add to a table made by an older version (its columns as given) the
// columns it lacks; none when it has them all.
QStringList AddMissingColumnsSql(TableKind kind, const QSqlRecord& table);
// True when the table has the columns of a record, those added since its first version aside.
bool IsRecordTable(const QSqlRecord& table);

// Adds a row unless a row with its id is there already, so a row sent twice is kept once.
// Binds RecordValues(record), then for a local file the server it waits for (or NULL).
QString InsertSql(TableKind kind);

// The columns shared by both kinds of table, and a record's values in the same order (times
// as RecordTimeText): also the fields of norvane-flash history --json and --csv.
QStringList RecordColumnNames();
QVariantList RecordValues(const DownloadRecord& record);

// Rows matching the filter, newest first, from a table with the given columns (those it lacks
// are read as NULL); its placeholders are bound by BindFilter.
QString SelectSql(const RecordFilter& filter, const QSqlRecord& table,
                  const QString& extraCondition = QString());
void BindFilter(QSqlQuery& query, const RecordFilter& filter);
// The current row of a query made from SelectSql.
DownloadRecord RecordFromQuery(const QSqlQuery& query);

// Dates in the record: UTC, ISO 8601 with milliseconds ("2026-12-07T14:13:49.123Z").
QString RecordTimeText(const QDateTime& time);
