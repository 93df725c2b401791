#include "HistoryListing.h"

#include "CompactJson.h"
#include "RecordSchema.h"
#include "VisibleText.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <algorithm>
#include <array>

namespace {

// A text that a spreadsheet would take for a formula ("=HYPERLINK(...)", "-2+3", "@SUM(...)")
// begins with a quote, which makes it text. Control characters are shown escaped, as
// everywhere, so no field spans lines.
QString CsvField(const QVariant& value)
{
    QString text = value.toString();
    if (value.typeId() == QMetaType::QString) {
        static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
        if (!text.isEmpty() && kFormulaStarts.contains(text.front()))
            text.prepend(QLatin1Char('\''));
        text = VisibleText(text);
    }
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    text.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

void PrintLine(const QString& line, std::FILE* out)
{
    std::fprintf(out, "%s\n", line.toUtf8().constData());
}

} // namespace

QString DurationText(int64_t ms)
{
    if (ms < 60000)
        return QString::number(static_cast<double>(ms) / 1000.0, 'f', 1) + QStringLiteral(" s");
    const int64_t seconds = ms / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void PrintHistoryJson(const std::vector<DownloadRecord>& rows, std::FILE* out)
{
    const QStringList names = RecordColumnNames();
    for (const DownloadRecord& row : rows) {
        const QVariantList values = RecordValues(row);
        QJsonObject object;
        for (qsizetype i = 0; i < names.size(); ++i)
            object.insert(names[i], QJsonValue::fromVariant(values[i]));
        object.insert(QStringLiteral("header_due"), row.headerDue);
        std::fprintf(out, "%s\n", CompactJson(QJsonDocument(object)).constData());
    }
}

void PrintHistoryCsv(const std::vector<DownloadRecord>& rows, std::FILE* out)
{
    PrintLine(RecordColumnNames().join(QLatin1Char(',')), out);
    for (const DownloadRecord& row : rows) {
        QStringList fields;
        for (const QVariant& value : RecordValues(row))
            fields.append(CsvField(value));
        PrintLine(fields.join(QLatin1Char(',')), out);
    }
}

void PrintHistoryTable(const std::vector<DownloadRecord>& rows, std::FILE* out, int width)
{
    using Line = std::array<QString, 7>;
    std::vector<Line> lines{{QStringLiteral("started (UTC)"), QStringLiteral("port"),
                             QStringLiteral("outcome"), QStringLiteral("CRC"),
                             QStringLiteral("time"), QStringLiteral("steps"),
                             QStringLiteral("detail")}};
    for (const DownloadRecord& row : rows) {
        lines.push_back({row.started.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                         VisibleText(row.port), VisibleText(row.outcome),
                         VisibleText(row.firmwareCrc), DurationText(row.durationMs),
                         QStringLiteral("%1/%2").arg(row.stepsDone).arg(row.stepsPlanned),
                         VisibleText(row.detail)});
    }
    std::array<qsizetype, 6> widths{};
    for (const Line& line : lines) {
        for (size_t column = 0; column < widths.size(); ++column)
            widths[column] = std::max(widths[column], line[column].size());
    }
    for (const Line& line : lines) {
        QString text;
        for (size_t column = 0; column < widths.size(); ++column)
            text += line[column].leftJustified(widths[column]) + QStringLiteral("  ");
        text += line[6];
        if (width > 0 && text.size() > width)
            text = text.left(width - 1) + QChar(0x2026); // ellipsis
        PrintLine(text, out);
    }
}
