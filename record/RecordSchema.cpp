#include "RecordSchema.h"

#include <QStringList>

namespace {

struct Column
{
    const char* name;
    const char* type;
};

// In the order of RecordValues and RecordFromQuery.
constexpr Column kColumns[] = {
    {"id", "TEXT PRIMARY KEY"},
    {"started_utc", "TEXT NOT NULL"},
    {"finished_utc", "TEXT NOT NULL"},
    {"host", "TEXT"},
    {"user_name", "TEXT"},
    {"program", "TEXT"},
    {"program_version", "TEXT"},
    {"port", "TEXT"},
    {"device_path", "TEXT"},
    {"usb_vendor_id", "TEXT"},
    {"usb_product_id", "TEXT"},
    {"usb_serial", "TEXT"},
    {"adapter", "TEXT"},
    {"firmware_file", "TEXT"},
    {"firmware_crc", "TEXT"},
    {"firmware_start", "INTEGER"},
    {"firmware_end", "INTEGER"},
    {"firmware_sha256", "TEXT"},
    {"header_due", "INTEGER"},
    {"outcome", "TEXT"},
    {"reason", "TEXT"},
    {"exit_code", "INTEGER"},
    {"detail", "TEXT"},
    {"steps_done", "INTEGER"},
    {"steps_planned", "INTEGER"},
    {"bytes_sent", "BIGINT"},
    {"bytes_received", "BIGINT"},
    {"duration_ms", "BIGINT"},
};
constexpr const char* kUnsentColumn = "unsent_to";

QDateTime TimeFromText(const QString& text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs).toUTC();
}

} // namespace

QStringList RecordColumnNames()
{
    QStringList names;
    for (const Column& column : kColumns)
        names.append(QLatin1String(column.name));
    return names;
}

QString RecordTimeText(const QDateTime& time)
{
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

QString CreateTableSql(TableKind kind)
{
    QStringList columns;
    for (const Column& column : kColumns)
        columns.append(
            QStringLiteral("%1 %2").arg(QLatin1String(column.name), QLatin1String(column.type)));
    if (kind == TableKind::LocalFile)
        columns.append(QStringLiteral("%1 TEXT").arg(QLatin1String(kUnsentColumn)));
    return QStringLiteral("CREATE TABLE IF NOT EXISTS downloads (%1)")
        .arg(columns.join(QStringLiteral(", ")));
}

QString CreateIndexSql()
{
    return QStringLiteral(
        "CREATE INDEX IF NOT EXISTS downloads_started ON downloads (started_utc)");
}

QString InsertSql(TableKind kind)
{
    QStringList names = RecordColumnNames();
    if (kind == TableKind::LocalFile)
        names.append(QLatin1String(kUnsentColumn));
    QStringList marks;
    for (qsizetype i = 0; i < names.size(); ++i)
        marks.append(QStringLiteral("?"));
    return QStringLiteral("INSERT INTO downloads (%1) VALUES (%2) ON CONFLICT (id) DO NOTHING")
        .arg(names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
}

QVariantList RecordValues(const DownloadRecord& r)
{
    return {r.id,
            RecordTimeText(r.started),
            RecordTimeText(r.finished),
            r.host,
            r.user,
            r.program,
            r.programVersion,
            r.port,
            r.devicePath,
            r.usbVendorId,
            r.usbProductId,
            r.usbSerial,
            r.adapter,
            r.firmwareFile,
            r.firmwareCrc.toUpper(),
            r.firmwareStart,
            r.firmwareEnd,
            r.firmwareSha256,
            r.headerDue ? 1 : 0,
            r.outcome,
            r.reason,
            r.exitCode,
            r.detail,
            r.stepsDone,
            r.stepsPlanned,
            static_cast<qlonglong>(r.bytesSent),
            static_cast<qlonglong>(r.bytesReceived),
            static_cast<qlonglong>(r.durationMs)};
}

DownloadRecord RecordFromQuery(const QSqlQuery& q)
{
    int i = 0;
    const auto text = [&] { return q.value(i++).toString(); };
    const auto number = [&] { return q.value(i++).toLongLong(); };
    DownloadRecord r;
    r.id = text();
    r.started = TimeFromText(text());
    r.finished = TimeFromText(text());
    r.host = text();
    r.user = text();
    r.program = text();
    r.programVersion = text();
    r.port = text();
    r.devicePath = text();
    r.usbVendorId = text();
    r.usbProductId = text();
    r.usbSerial = text();
    r.adapter = text();
    r.firmwareFile = text();
    r.firmwareCrc = text();
    r.firmwareStart = static_cast<int32_t>(number());
    r.firmwareEnd = static_cast<int32_t>(number());
    r.firmwareSha256 = text();
    r.headerDue = number() != 0;
    r.outcome = text();
    r.reason = text();
    r.exitCode = static_cast<int>(number());
    r.detail = text();
    r.stepsDone = static_cast<int>(number());
    r.stepsPlanned = static_cast<int>(number());
    r.bytesSent = number();
    r.bytesReceived = number();
    r.durationMs = number();
    return r;
}

QString SelectSql(const RecordFilter& filter, const QString& extraCondition)
{
    QStringList conditions;
    if (filter.since.isValid())
        conditions.append(QStringLiteral("started_utc >= ?"));
    if (filter.until.isValid())
        conditions.append(QStringLiteral("started_utc < ?"));
    if (!filter.port.isEmpty())
        conditions.append(QStringLiteral("(port = ? OR device_path = ?)"));
    if (!filter.outcome.isEmpty())
        conditions.append(QStringLiteral("outcome = ?"));
    if (!filter.crc.isEmpty())
        conditions.append(QStringLiteral("firmware_crc = ?"));
    if (!extraCondition.isEmpty())
        conditions.append(extraCondition);
    QString sql = QStringLiteral("SELECT %1 FROM downloads").arg(RecordColumnNames().join(u", "));
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    return sql + QStringLiteral(" ORDER BY started_utc DESC, id DESC");
}

void BindFilter(QSqlQuery& query, const RecordFilter& filter)
{
    if (filter.since.isValid())
        query.addBindValue(RecordTimeText(filter.since));
    if (filter.until.isValid())
        query.addBindValue(RecordTimeText(filter.until));
    if (!filter.port.isEmpty()) {
        query.addBindValue(filter.port);
        query.addBindValue(filter.port);
    }
    if (!filter.outcome.isEmpty())
        query.addBindValue(filter.outcome);
    if (!filter.crc.isEmpty())
        query.addBindValue(filter.crc.toUpper());
}
