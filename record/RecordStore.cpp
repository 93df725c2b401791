#include "RecordStore.h"

#include "RecordConnection.h"
#include "RecordSchema.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <optional>

namespace {

QSqlRecord Columns(RecordConnection& connection)
{
    return connection.Database().record(QStringLiteral("downloads"));
}

bool ExecuteAll(RecordConnection& connection, const QStringList& statements)
{
    for (const QString& sql : statements) {
        if (!connection.Execute(sql))
            return false;
    }
    return true;
}

// Adds the columns a file made by an older version lacks. They are looked up again under the
// write lock (taken at once by BEGIN IMMEDIATE, waiting out the busy time-out), so that of two
// writers opening the old file together one adds them and the other finds them there.
bool AddMissingLocalColumns(RecordConnection& local)
{
    if (AddMissingColumnsSql(TableKind::LocalFile, Columns(local)).isEmpty())
        return true;
    if (!local.Execute(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    if (ExecuteAll(local, AddMissingColumnsSql(TableKind::LocalFile, Columns(local))) &&
        local.Execute(QStringLiteral("COMMIT")))
        return true;
    QSqlQuery(QStringLiteral("ROLLBACK"), local.Database());
    return false;
}

// Opens the local SQLite file and makes sure it has the table with every column.
bool PrepareLocal(RecordConnection& local)
{
    return local.Ok() && local.Execute(CreateTableSql(TableKind::LocalFile)) &&
           local.Execute(CreateIndexSql()) && AddMissingLocalColumns(local);
}

bool HasTable(RecordConnection& connection)
{
    return connection.Database().tables().contains(QStringLiteral("downloads"));
}

// Stations that start together on an empty database take turns creating the table under
// this lock (PostgreSQL's advisory lock of the transaction), so one creates it and the others
// find it there.
constexpr qint64 kCreateTableLock = 0x4E6F7276616E65; // "Norvane"

// Creates the table on the server where it is missing, and adds the columns a table made by an
// older version lacks. It is looked up first: creating or altering it again would wait for
// every writer's lock on it, and a busy table must not hold a sender.
bool PrepareServer(RecordConnection& server)
{
    if (!server.Ok())
        return false;
    if (HasTable(server) && AddMissingColumnsSql(TableKind::Server, Columns(server)).isEmpty())
        return true;
    if (!server.Execute(QStringLiteral("BEGIN")))
        return false;
    if (server.Execute(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kCreateTableLock)) &&
        server.Execute(CreateTableSql(TableKind::Server)) &&
        ExecuteAll(server, AddMissingColumnsSql(TableKind::Server, Columns(server))) &&
        server.Execute(CreateIndexSql()) && server.Execute(QStringLiteral("COMMIT")))
        return true;
    QSqlQuery(QStringLiteral("ROLLBACK"), server.Database());
    return false;
}

// Inserts one row; unsentTo is bound for a local file only. Returns what failed, if anything.
QSqlError Insert(RecordConnection& connection, TableKind kind, const DownloadRecord& record,
                 const QString& unsentTo)
{
    QSqlQuery query(connection.Database());
    if (!query.prepare(InsertSql(kind)))
        return query.lastError();
    for (const QVariant& value : RecordValues(record))
        query.addBindValue(value);
    if (kind == TableKind::LocalFile)
        query.addBindValue(unsentTo.isEmpty() ? QVariant() : QVariant(unsentTo));
    query.exec();
    return query.lastError();
}

std::optional<std::vector<DownloadRecord>> Select(RecordConnection& connection,
                                                  const RecordFilter& filter, QString& error,
                                                  const QString& extraCondition = QString(),
                                                  const QVariant& extraValue = QVariant())
{
    QSqlQuery query(connection.Database());
    query.setForwardOnly(true);
    if (!query.prepare(SelectSql(filter, Columns(connection), extraCondition))) {
        error = connection.ErrorText(query.lastError());
        return std::nullopt;
    }
    BindFilter(query, filter);
    if (extraValue.isValid())
        query.addBindValue(extraValue);
    if (!query.exec()) {
        error = connection.ErrorText(query.lastError());
        return std::nullopt;
    }
    std::vector<DownloadRecord> rows;
    while (query.next())
        rows.push_back(RecordFromQuery(query));
    return rows;
}

QString CannotWrite(const QString& file, const QString& error)
{
    return QStringLiteral("cannot write the record %1: %2").arg(file, error);
}

} // namespace

RecordStore::RecordStore(RecordTarget target, int busyTimeoutMs)
    : m_target(std::move(target)), m_busyTimeoutMs(busyTimeoutMs)
{
}

StoreResult RecordStore::Open() const
{
    RecordConnection local(m_target.file, RecordConnection::Access::ReadWrite, m_busyTimeoutMs);
    if (PrepareLocal(local))
        return {};
    return {local.Locked() ? StoreStatus::Locked : StoreStatus::NotStored,
            CannotWrite(m_target.file, local.Error())};
}

StoreResult RecordStore::Append(const DownloadRecord& record) const
{
    RecordConnection local(m_target.file, RecordConnection::Access::ReadWrite, m_busyTimeoutMs);
    if (!PrepareLocal(local)) {
        return {local.Locked() ? StoreStatus::Locked : StoreStatus::NotStored,
                CannotWrite(m_target.file, local.Error())};
    }
    const QSqlError error = Insert(local, TableKind::LocalFile, record,
                                   m_target.IsServer() ? m_target.ServerName() : QString());
    if (error.type() == QSqlError::NoError)
        return {};
    return {IsLockedError(error) ? StoreStatus::Locked : StoreStatus::NotStored,
            CannotWrite(m_target.file, local.ErrorText(error))};
}

StoreResult RecordStore::SendUnsent() const
{
    if (!m_target.IsServer())
        return {};
    RecordConnection server(m_target);
    if (!PrepareServer(server)) {
        return {StoreStatus::WaitingForServer,
                QStringLiteral("cannot reach the record server %1: %2; rows wait in %3")
                    .arg(m_target.ServerName(), server.Error(), m_target.file)};
    }
    RecordConnection local(m_target.file, RecordConnection::Access::ReadWrite, m_busyTimeoutMs);
    QString error;
    if (!PrepareLocal(local))
        return {StoreStatus::Stored, CannotWrite(m_target.file, local.Error())};
    const auto waiting = Select(local, RecordFilter(), error, QStringLiteral("unsent_to = ?"),
                                m_target.ServerName());
    if (!waiting)
        return {StoreStatus::Stored, CannotWrite(m_target.file, error)};

    // Oldest first, so that the server's rows come in the order they were made.
    for (auto row = waiting->rbegin(); row != waiting->rend(); ++row) {
        const QSqlError refused = Insert(server, TableKind::Server, *row, QString());
        if (refused.type() != QSqlError::NoError) {
            return {StoreStatus::WaitingForServer,
                    QStringLiteral("the record server %1 stopped taking rows: %2; %3 wait in %4")
                        .arg(m_target.ServerName(), refused.text().simplified())
                        .arg(UnsentCount())
                        .arg(m_target.file)};
        }
        QSqlQuery sent(local.Database());
        sent.prepare(QStringLiteral("UPDATE downloads SET unsent_to = NULL WHERE id = ?"));
        sent.addBindValue(row->id);
        if (!sent.exec()) // sent again next time, and ignored by the server then
            return {StoreStatus::Stored,
                    CannotWrite(m_target.file, local.ErrorText(sent.lastError()))};
    }
    return {};
}

QueryResult RecordStore::Query(const RecordFilter& filter) const
{
    QueryResult result;
    if (m_target.IsServer()) {
        RecordConnection server(m_target);
        if (!server.Ok()) {
            result.error = QStringLiteral("cannot reach the record server %1: %2")
                               .arg(m_target.ServerName(), server.Error());
            return result;
        }
        if (!HasTable(server))
            return result;
        if (auto rows = Select(server, filter, result.error))
            result.rows = std::move(*rows);
        return result;
    }
    if (!QFileInfo::exists(m_target.file))
        return result; // nothing recorded there yet
    RecordConnection local(m_target.file, RecordConnection::Access::ReadOnly);
    if (!local.Ok()) {
        result.error =
            QStringLiteral("cannot read the record %1: %2").arg(m_target.file, local.Error());
        return result;
    }
    if (!HasTable(local))
        return result;
    if (auto rows = Select(local, filter, result.error))
        result.rows = std::move(*rows);
    return result;
}

int RecordStore::UnsentCount() const
{
    RecordConnection local(m_target.file, RecordConnection::Access::ReadWrite, m_busyTimeoutMs);
    if (!PrepareLocal(local))
        return 0;
    QSqlQuery query(local.Database());
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM downloads WHERE unsent_to = ?"));
    query.addBindValue(m_target.ServerName());
    if (!query.exec() || !query.next())
        return 0;
    return query.value(0).toInt();
}
