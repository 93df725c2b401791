#include "RecordConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace {

QString UniqueConnectionName()
{
    static std::atomic<unsigned> counter{0};
    return QStringLiteral("norvane-record-%1").arg(counter++);
}

QString DriverMissingText(const char* driver, const char* package)
{
    return QStringLiteral("the %1 driver of Qt SQL is not installed (Debian package %2)")
        .arg(QLatin1String(driver), QLatin1String(package));
}

} // namespace

bool IsLockedError(const QSqlError& error)
{
    // SQLite's SQLITE_BUSY and SQLITE_LOCKED, as Qt's driver reports them.
    return error.nativeErrorCode() == QLatin1String("5") ||
           error.nativeErrorCode() == QLatin1String("6");
}

RecordConnection::RecordConnection(const QString& sqliteFile, Access access, int busyTimeoutMs)
    : m_name(UniqueConnectionName())
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
    m_database.setDatabaseName(sqliteFile);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs);
    if (access == Access::ReadOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    m_database.setConnectOptions(options);
    if (!m_database.open()) {
        m_error = m_database.lastError().text().simplified();
        return;
    }
    // Readers never block the writer, and writers only wait for each other's short commits.
    // A file system without WAL support still works, in SQLite's default journal mode.
    // A commit is on the disk before the row's outcome is shown, even through a power loss,
    // whatever the SQLite build's default: NORMAL, in WAL mode, survives a killed process but
    // may lose the last commits to a power loss.
    if (access == Access::ReadWrite) {
        QSqlQuery(QStringLiteral("PRAGMA journal_mode=WAL"), m_database);
        QSqlQuery(QStringLiteral("PRAGMA synchronous=FULL"), m_database);
    }
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
    // Qt passes these on to libpq's connection string as they are.
    m_database.setConnectOptions(
        QStringLiteral("connect_timeout=%1;options='-c lock_timeout=%2 -c statement_timeout=%3 "
                       "-c client_min_messages=warning'")
            .arg(kConnectTimeoutSeconds)
            .arg(kLockTimeoutMs)
            .arg(kStatementTimeoutMs));
    if (!m_database.open())
        m_error = m_database.lastError().text().simplified();
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
    m_error = query.lastError().text().simplified();
    m_locked = IsLockedError(query.lastError());
    return false;
}
