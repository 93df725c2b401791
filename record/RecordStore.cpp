#include "RecordStore.h"

#include "RecordConnection.h"
#include "RecordSchema.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <optional>

namespace {

// Opens the local SQLite file and makes sure it has the table.
bool PrepareLocal(RecordConnection& local)
{
    return local.Ok() && local.Execute(CreateTableSql(TableKind::LocalFile)) &&
           local.Execute(CreateIndexSql());
}

bool HasTable(RecordConnection& connection)
{
    return connection.Database().tables().contains(QStringLiteral("downloads"));
}

// Creates the table on the server the first time only: the server would otherwise send a
// notice that the table exists, which its client library prints on standard error.
bool PrepareServer(RecordConnection& server)
{
    if (!server.Ok())
        return false;
    if (HasTable(server))
        return true;
    return server.Execute(CreateTableSql(TableKind::Server)) && server.Execute(CreateIndexSql());
}

// Inserts one row; unsentTo is bound for a local file only.
bool Insert(RecordConnection& connection, TableKind kind, const DownloadRecord& record,
            const QString& unsentTo, QString& error)
{
    QSqlQuery query(connection.Database());
    if (!query.prepare(InsertSql(kind))) {
        error = connection.ErrorText(query.lastError());
        return false;
    }
    for (const QVariant& value : RecordValues(record))
        query.addBindValue(value);
    if (kind == TableKind::LocalFile)
        query.addBindValue(unsentTo.isEmpty() ? QVariant() : QVariant(unsentTo));
    if (!query.exec()) {
        error = connection.ErrorText(query.lastError());
        return false;
    }
    return true;
}

std::optional<std::vector<DownloadRecord>> Select(RecordConnection& connection,
                                                  const RecordFilter& filter, QString& error,
                                                  const QString& extraCondition = QString(),
                                                  const QVariant& extraValue = QVariant())
{
    QSqlQuery query(connection.Database());
    query.setForwardOnly(true);
    if (!query.prepare(SelectSql(filter, extraCondition))) {
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

RecordStore::RecordStore(RecordTarget target) : m_target(std::move(target)) {}

StoreResult RecordStore::Open() const
{
    RecordConnection local(m_target.file);
    const bool localReady = PrepareLocal(local);
    if (!m_target.IsServer()) {
        if (localReady)
            return {};
        return {StoreStatus::NotStored, CannotWrite(m_target.file, local.Error())};
    }
    RecordConnection server(m_target);
    if (!PrepareServer(server)) {
        return {StoreStatus::WaitingForServer,
                QStringLiteral("cannot reach the record server %1: %2")
                    .arg(m_target.ServerName(), server.Error())};
    }
    return SendUnsent(server);
}

StoreResult RecordStore::Append(const DownloadRecord& record) const
{
    QString error;
    RecordConnection local(m_target.file);
    const bool inLocal = PrepareLocal(local) &&
                         Insert(local, TableKind::LocalFile, record,
                                m_target.IsServer() ? m_target.ServerName() : QString(), error);
    if (!inLocal && error.isEmpty())
        error = local.Error();
    if (!m_target.IsServer()) {
        if (inLocal)
            return {};
        return {StoreStatus::NotStored, CannotWrite(m_target.file, error)};
    }

    RecordConnection server(m_target);
    if (!PrepareServer(server)) {
        const QString unreachable = QStringLiteral("cannot reach the record server %1: %2")
                                        .arg(m_target.ServerName(), server.Error());
        if (inLocal) {
            return {StoreStatus::WaitingForServer,
                    unreachable + QStringLiteral("; the row waits in %1").arg(m_target.file)};
        }
        return {StoreStatus::NotStored,
                unreachable + QStringLiteral("; ") + CannotWrite(m_target.file, error)};
    }
    if (inLocal)
        return SendUnsent(server); // the new row is among them
    QString serverError;
    if (!Insert(server, TableKind::Server, record, QString(), serverError)) {
        return {StoreStatus::NotStored, QStringLiteral("cannot write to the record server %1: %2; ")
                                                .arg(m_target.ServerName(), serverError) +
                                            CannotWrite(m_target.file, error)};
    }
    return {};
}

StoreResult RecordStore::SendUnsent(RecordConnection& server) const
{
    RecordConnection local(m_target.file);
    QString error;
    if (!PrepareLocal(local))
        return {StoreStatus::Stored, CannotWrite(m_target.file, local.Error())};
    const auto waiting = Select(local, RecordFilter(), error, QStringLiteral("unsent_to = ?"),
                                m_target.ServerName());
    if (!waiting)
        return {StoreStatus::Stored, CannotWrite(m_target.file, error)};

    // Oldest first, so that the server's rows come in the order they were made.
    for (auto row = waiting->rbegin(); row != waiting->rend(); ++row) {
        if (!Insert(server, TableKind::Server, *row, QString(), error)) {
            return {StoreStatus::WaitingForServer,
                    QStringLiteral("the record server %1 stopped taking rows: %2; %3 wait in %4")
                        .arg(m_target.ServerName(), error)
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
    RecordConnection local(m_target.file);
    if (!PrepareLocal(local))
        return 0;
    QSqlQuery query(local.Database());
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM downloads WHERE unsent_to = ?"));
    query.addBindValue(m_target.ServerName());
    if (!query.exec() || !query.next())
        return 0;
    return query.value(0).toInt();
}
