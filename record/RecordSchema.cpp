#include "RecordSchema.h"

#include <QStringList>

#include <type_traits>

namespace {

QDateTime TimeFromText(const QString& text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs).toUTC();
}

// A column of the table: its name and SQL type, how a record's value is written into it and
// how a value read from it is put back into a record.
struct Column
{
    const char* name;
    const char* type;
    QVariant (*write)(const DownloadRecord& record);
    void (*read)(DownloadRecord& record, const QVariant& value);
};

template <QString DownloadRecord::*field>
constexpr Column Text(const char* name, const char* type = "TEXT")
{
    return {name, type, [](const DownloadRecord& r) { return QVariant(r.*field); },
            [](DownloadRecord& r, const QVariant& v) { r.*field = v.toString(); }};
}

// Hexadecimal digits, written in upper case.
template <QString DownloadRecord::*field> constexpr Column HexText(const char* name)
{
    return {name, "TEXT", [](const DownloadRecord& r) { return QVariant((r.*field).toUpper()); },
            [](DownloadRecord& r, const QVariant& v) { r.*field = v.toString(); }};
}

// A time as RecordTimeText.
template <QDateTime DownloadRecord::*field> constexpr Column Time(const char* name)
{
    return {name, "TEXT NOT NULL",
            [](const DownloadRecord& r) { return QVariant(RecordTimeText(r.*field)); },
            [](DownloadRecord& r, const QVariant& v) { r.*field = TimeFromText(v.toString()); }};
}

// A whole number: 32-bit fields are written as int, 64-bit ones as qlonglong.
template <auto field> constexpr Column Number(const char* name, const char* type)
{
    using Value = std::remove_cvref_t<decltype(DownloadRecord{}.*field)>;
    return {name, type,
            [](const DownloadRecord& r) {
                if constexpr (sizeof(Value) > sizeof(int))
                    return QVariant(static_cast<qlonglong>(r.*field));
                else
                    return QVariant(static_cast<int>(r.*field));
            },
            [](DownloadRecord& r, const QVariant& v) {
                r.*field = static_cast<Value>(v.toLongLong());
            }};
}

// A yes/no fact, written as 1 or 0.
template <bool DownloadRecord::*field> constexpr Column Flag(const char* name)
{
    return {name, "INTEGER", [](const DownloadRecord& r) { return QVariant(r.*field ? 1 : 0); },
            [](DownloadRecord& r, const QVariant& v) { r.*field = v.toLongLong() != 0; }};
}

using Record = DownloadRecord;
const Column kColumns[] = {
    Text<&Record::id>("id", "TEXT PRIMARY KEY"),
    Time<&Record::started>("started_utc"),
    Time<&Record::finished>("finished_utc"),
    Text<&Record::host>("host"),
    Text<&Record::user>("user_name"),
    Text<&Record::program>("program"),
    Text<&Record::programVersion>("program_version"),
    Text<&Record::port>("port"),
    Text<&Record::devicePath>("device_path"),
    Text<&Record::usbVendorId>("usb_vendor_id"),
    Text<&Record::usbProductId>("usb_product_id"),
    Text<&Record::usbSerial>("usb_serial"),
    Text<&Record::adapter>("adapter"),
    Text<&Record::firmwareFile>("firmware_file"),
    HexText<&Record::firmwareCrc>("firmware_crc"),
    Number<&Record::firmwareStart>("firmware_start", "INTEGER"),
    Number<&Record::firmwareEnd>("firmware_end", "INTEGER"),
    Text<&Record::firmwareSha256>("firmware_sha256"),
    Flag<&Record::headerDue>("header_due"),
    Text<&Record::outcome>("outcome"),
    Text<&Record::reason>("reason"),
    Number<&Record::exitCode>("exit_code", "INTEGER"),
    Text<&Record::detail>("detail"),
    Number<&Record::stepsDone>("steps_done", "INTEGER"),
    Number<&Record::stepsPlanned>("steps_planned", "INTEGER"),
    Number<&Record::bytesSent>("bytes_sent", "BIGINT"),
    Number<&Record::bytesReceived>("bytes_received", "BIGINT"),
    Number<&Record::durationMs>("duration_ms", "BIGINT"),
};
constexpr const char* kUnsentColumn = "unsent_to";

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

QVariantList RecordValues(const DownloadRecord& record)
{
    QVariantList values;
    for (const Column& column : kColumns)
        values.append(column.write(record));
    return values;
}

DownloadRecord RecordFromQuery(const QSqlQuery& query)
{
    DownloadRecord record;
    int i = 0;
    for (const Column& column : kColumns)
        column.read(record, query.value(i++));
    return record;
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
