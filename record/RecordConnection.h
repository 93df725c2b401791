#pragma once

#include "RecordTarget.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

// One database connection, opened by the constructor and closed and removed by the
// destructor, used only on the thread that made it (as Qt SQL requires). Each call of the
// store makes its own, so any number of worker threads write at once.
class RecordConnection
{
public:
    // The SQLite file, created with its folder where missing, in WAL mode with a busy
    // time-out so that writers of other threads and processes wait their turn. Read-only
    // opens an existing file only and changes nothing in it; it also reads where the reader
    // may not write (a read-only folder or copy).
    enum class Access
    {
        ReadWrite,
        ReadOnly
    };
    static constexpr int kBusyTimeoutMs = 10000;
    explicit RecordConnection(const QString& sqliteFile, Access access = Access::ReadWrite);

    // The target's PostgreSQL server; gives up after a few seconds when it cannot be reached.
    static constexpr int kConnectTimeoutSeconds = 3;
    explicit RecordConnection(const RecordTarget& server);

    ~RecordConnection();
    RecordConnection(const RecordConnection&) = delete;
    RecordConnection& operator=(const RecordConnection&) = delete;

    // True while the connection opened and no statement on it has failed.
    bool Ok() const { return m_error.isEmpty(); }
    // What failed; empty while Ok().
    const QString& Error() const { return m_error; }
    QSqlDatabase& Database() { return m_database; }

    // Runs one statement; on failure sets Error() and returns false.
    bool Execute(const QString& sql);

    // What a failed statement on this connection says, in words: SQLite's own, except that a
    // full disk is called so (SQLite may report it as an input/output error).
    QString ErrorText(const QSqlError& error) const;

private:
    bool OpenSqlite(const QString& databaseName, const QString& options);
    void OpenReadOnly(const QString& sqliteFile, const QString& busy);
    // What reading the list of tables fails with; no error when it is read.
    QSqlError SchemaError();

    QString m_name;
    QString m_sqliteFile; // empty for a server
    QSqlDatabase m_database;
    QString m_error;
};
