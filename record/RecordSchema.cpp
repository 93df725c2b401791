#include "RecordSchema.h"

#include <QSqlRecord>
#include <QStringList>

#include <cmath>
#include <type_traits>

namespace {

QDateTime TimeFromText(const QString& text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs).toUTC();
}

// A column of the table: its name and SQL type, how a record's value is written into it and
// how a value read from it is put back into a record. Columns added after the table's first
// version may be missing from a table an older version made: a writer adds them, a reader
// reads them as NULL.
struct Column
{
    const char* name;
    const char* type;
    QVariant (*write)(const DownloadRecord& record);
    void (*read)(DownloadRecord& record, const QVariant& value);
    bool added = false;
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

// The median or the largest wait for replies of one kind, NULL when no reply of the kind came.
// The record keeps the figures, not how many replies they came from: read back, a kind with
// figures counts one reply.
template <ReplyKind kind, int ReplyWaits::*figure> constexpr Column ReplyMs(const char* name)
{
    return {name, "INTEGER",
            [](const DownloadRecord& r) {
                const ReplyWaits& waits = r.link.Of(kind);
                return waits.count > 0 ? QVariant(waits.*figure) : QVariant();
            },
            [](DownloadRecord& r, const QVariant& v) {
                if (v.isNull())
                    return;
                ReplyWaits& waits = r.link.Of(kind);
                waits.count = 1;
                waits.*figure = v.toInt();
            },
            true};
}

// The packet phase against the wire, to three decimals; NULL when no packet was exchanged.
constexpr Column PacketPhaseRatio(const char* name)
{
    return {name, "DOUBLE PRECISION",
            [](const DownloadRecord& r) {
                const double ratio = r.link.packetPhaseRatio;
                return ratio > 0 ? QVariant(std::round(ratio * 1000) / 1000) : QVariant();
            },
            [](DownloadRecord& r, const QVariant& v) { r.link.packetPhaseRatio = v.toDouble(); },
            true};
}

using Record = DownloadRecord;
using Kind = ReplyKind;
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
    ReplyMs<Kind::Poll, &ReplyWaits::medianMs>("reply_ms_poll_median"),
    ReplyMs<Kind::Poll, &ReplyWaits::maxMs>("reply_ms_poll_max"),
    ReplyMs<Kind::Erase, &ReplyWaits::medianMs>("reply_ms_erase_median"),
    ReplyMs<Kind::Erase, &ReplyWaits::maxMs>("reply_ms_erase_max"),
    ReplyMs<Kind::Program, &ReplyWaits::medianMs>("reply_ms_program_median"),
    ReplyMs<Kind::Program, &ReplyWaits::maxMs>("reply_ms_program_max"),
    ReplyMs<Kind::EraseProgram, &ReplyWaits::medianMs>("reply_ms_erase_program_median"),
    ReplyMs<Kind::EraseProgram, &ReplyWaits::maxMs>("reply_ms_erase_program_max"),
    ReplyMs<Kind::Header, &ReplyWaits::medianMs>("reply_ms_header_median"),
    ReplyMs<Kind::Header, &ReplyWaits::maxMs>("reply_ms_header_max"),
    ReplyMs<Kind::Verify, &ReplyWaits::medianMs>("reply_ms_verify_median"),
    ReplyMs<Kind::Verify, &ReplyWaits::maxMs>("reply_ms_verify_max"),
    PacketPhaseRatio("packet_phase_ratio"),
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

QStringList AddMissingColumnsSql(TableKind kind, const QSqlRecord& table)
{
    // PostgreSQL skips a column another writer has just added; SQLite writers add them one at
    // a time under the file's write lock, having looked which are missing under it.
    const QString ifNotExists =
        kind == TableKind::Server ? QStringLiteral("IF NOT EXISTS ") : QString();
    QStringList statements;
    for (const Column& column : kColumns) {
        if (column.added && !table.contains(QLatin1String(column.name)))
            statements.append(
                QStringLiteral("ALTER TABLE downloads ADD COLUMN %1%2 %3")
                    .arg(ifNotExists, QLatin1String(column.name), QLatin1String(column.type)));
    }
    return statements;
}

bool IsRecordTable(const QSqlRecord& table)
{
    for (const Column& column : kColumns) {
        if (!column.added && !table.contains(QLatin1String(column.name)))
            return false;
    }
    return true;
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

QString SelectSql(const RecordFilter& filter, const QSqlRecord& table,
                  const QString& extraCondition)
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
    QStringList selected;
    for (const Column& column : kColumns) {
        const QLatin1String name(column.name);
        selected.append(column.added && !table.contains(name) ? QStringLiteral("NULL AS ") + name
                                                              : QString(name));
    }
    QString sql = QStringLiteral("SELECT %1 FROM downloads").arg(selected.join(u", "));
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
