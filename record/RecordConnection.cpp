#include "RecordConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QUrl>

#include <atomic>

namespace {

QString UniqueConnectionName()
{
    static std::atomic<unsigned> counter{0};
    return QStringLiteral("norvane-record-%1").arg(counter++);
}

// SQLite's primary result codes (the low byte of an extended one).
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteIoError = 10;
constexpr int kSqliteFull = 13;
constexpr int kSqliteCannotOpen = 14;
// Below this much free space an input/output error of SQLite is taken for a full disk:
// growing the shared-memory index of a WAL file by its 32 KiB fails that way.
constexpr qint64 kNearlyFullBytes = 1024 * 1024;

int SqliteCode(const QSqlError& error)
{
    return error.nativeErrorCode().toInt() & 0xff;
}

QString DriverMissingText(const char* driver, const char* package)
{
    return QStringLiteral("the %1 driver of Qt SQL is not installed (Debian package %2)")
        .arg(QLatin1String(driver), QLatin1String(package));
}

} // namespace

RecordConnection::RecordConnection(const QString& sqliteFile, Access access)
    : m_name(UniqueConnectionName()), m_sqliteFile(sqliteFile)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        m_error = DriverMissingText("SQLite", "libqt6sql6-sqlite");
        return;
    }
    const QString folder = QFileInfo(sqliteFile).absolutePath();
    if (access == Access::ReadWrite && !QDir().mkpath(folder)) {
        m_error = QStringLiteral("cannot create the folder %1").arg(folder);
        return;
    }
    m_database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    const QString busy = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    if (access == Access::ReadOnly) {
        OpenReadOnly(sqliteFile, busy);
        return;
    }
    if (!OpenSqlite(sqliteFile, busy))
        return;
    // Readers never block the writer, and writers only wait for each other's short commits.
    // A file system without WAL support still works, in SQLite's default journal mode.
    QSqlQuery(QStringLiteral("PRAGMA journal_mode=WAL"), m_database);
}

void RecordConnection::OpenReadOnly(const QString& sqliteFile, const QString& busy)
{
    if (!OpenSqlite(sqliteFile, busy + QStringLiteral(";QSQLITE_OPEN_READONLY")))
        return;
    // A WAL file is read through an index file beside it, which a reader who may not write
    // there cannot make: the file is then read as it is. No writer is at work while the index
    // is missing; one that starts meanwhile can only make this read fail.
    QSqlError failed = SchemaError();
    const int code = SqliteCode(failed);
    if (failed.isValid() && (code == kSqliteReadOnly || code == kSqliteCannotOpen)) {
        m_database.close();
        if (!OpenSqlite(QUrl::fromLocalFile(QFileInfo(sqliteFile).absoluteFilePath())
                                .toString(QUrl::FullyEncoded) +
                            QStringLiteral("?immutable=1"),
                        busy + QStringLiteral(";QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI")))
            return;
        failed = SchemaError();
    }
    if (failed.isValid())
        m_error = ErrorText(failed);
}

QSqlError RecordConnection::SchemaError()
{
    QSqlQuery probe(m_database);
    if (probe.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")))
        return QSqlError();
    return probe.lastError();
}

bool RecordConnection::OpenSqlite(const QString& databaseName, const QString& options)
{
    m_database.setDatabaseName(databaseName);
    m_database.setConnectOptions(options);
    if (m_database.open())
        return true;
    m_error = ErrorText(m_database.lastError());
    return false;
}

RecordConnection::RecordConnection(const RecordTarget& server) : m_name(UniqueConnectionName())
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        m_error = DriverMissingText("PostgreSQL", "libqt6sql6-psql");
        return;
    }
    m_database = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
    m_database.setHostName(server.serverHost);
    m_database.setPort(server.serverPort);
    m_database.setUserName(server.serverUser);
    m_database.setPassword(server.serverPassword);
    m_database.setDatabaseName(server.serverDatabase);
    m_database.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(kConnectTimeoutSeconds));
    if (!m_database.open())
        m_error = ErrorText(m_database.lastError());
}

RecordConnection::~RecordConnection()
{
    if (m_database.isValid()) {
        m_database.close();
        m_database = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
}

bool RecordConnection::Execute(const QString& sql)
{
    QSqlQuery query(m_database);
    if (query.exec(sql))
        return true;
    m_error = ErrorText(query.lastError());
    return false;
}

QString RecordConnection::ErrorText(const QSqlError& error) const
{
    if (m_database.driverName() == QLatin1String("QSQLITE")) {
        const int code = SqliteCode(error);
        const qint64 free = QStorageInfo(QFileInfo(m_sqliteFile).absolutePath()).bytesAvailable();
        if (code == kSqliteFull || (code == kSqliteIoError && free >= 0 && free < kNearlyFullBytes))
            return QStringLiteral("the disk is full");
    }
    return error.text().simplified();
}
