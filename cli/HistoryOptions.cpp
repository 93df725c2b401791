#include "HistoryOptions.h"

#include "OptionValue.h"

#include <QRegularExpression>

namespace {

// "A1B2", "a1b2", "0xA1B2" or "A1B2h" as four upper-case hex digits; empty when not a CRC.
QString CrcArgument(QString text)
{
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        text = text.mid(2);
    else if (text.endsWith(QLatin1Char('h'), Qt::CaseInsensitive))
        text.chop(1);
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{1,4}$"));
    if (!hex.match(text).hasMatch())
        return QString();
    return text.rightJustified(4, QLatin1Char('0')).toUpper();
}

// The time value of --since or --until into time; error tells when it is not a time.
void TakeTime(const QString& name, const QString& value, const QDateTime& now, QDateTime& time,
              QString& error)
{
    if (!error.isEmpty())
        return;
    time = ParseHistoryTime(value, now);
    if (!time.isValid())
        error =
            QStringLiteral("%1 %2 is not a time (2026-12-07 14:30, 8h, 7d ...)").arg(name, value);
}

} // namespace

QDateTime ParseHistoryTime(const QString& text, const QDateTime& now)
{
    static const QRegularExpression span(QStringLiteral("^(\\d{1,6})([smhd])$"));
    if (const QRegularExpressionMatch match = span.match(text); match.hasMatch()) {
        const qint64 amount = match.captured(1).toLongLong();
        const QChar unit = match.captured(2).at(0);
        const qint64 seconds = unit == u's'   ? amount
                               : unit == u'm' ? amount * 60
                               : unit == u'h' ? amount * 3600
                                              : amount * 86400;
        return now.addSecs(-seconds);
    }
    if (text.size() == 10) // a date alone; QDate would also take the date of a date and time
        return QDate::fromString(text, Qt::ISODate).startOfDay();
    QString iso = text;
    if (iso.size() > 10 && iso.at(10) == u' ')
        iso[10] = u'T';
    return QDateTime::fromString(iso, Qt::ISODateWithMs);
}

bool ParseHistoryOptions(const QStringList& args, const QDateTime& now, HistoryOptions& options,
                         QString& error)
{
    for (qsizetype i = 0; i < args.size() && error.isEmpty(); ++i) {
        const QString& arg = args[i];
        QString value;
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
        } else if (arg == QLatin1String("--json")) {
            options.json = true;
        } else if (arg == QLatin1String("--csv")) {
            options.csv = true;
        } else if (arg == QLatin1String("--summary")) {
            options.summary = true;
        } else if (TakeOptionValue(args, i, QStringLiteral("--since"), value, error)) {
            TakeTime(QStringLiteral("--since"), value, now, options.filter.since, error);
        } else if (TakeOptionValue(args, i, QStringLiteral("--until"), value, error)) {
            TakeTime(QStringLiteral("--until"), value, now, options.filter.until, error);
        } else if (TakeOptionValue(args, i, QStringLiteral("--port"), value, error)) {
            options.filter.port = value;
        } else if (TakeOptionValue(args, i, QStringLiteral("--outcome"), value, error)) {
            options.filter.outcome = value;
        } else if (TakeOptionValue(args, i, QStringLiteral("--crc"), value, error)) {
            options.filter.crc = CrcArgument(value);
            if (error.isEmpty() && options.filter.crc.isEmpty())
                error = QStringLiteral("--crc %1 is not a CRC (four hex digits)").arg(value);
        } else if (TakeOptionValue(args, i, QStringLiteral("--record"), value, error)) {
            options.record = value;
        } else if (TakeOptionValue(args, i, QStringLiteral("--html"), value, error)) {
            options.htmlFile = value;
        } else {
            error = QStringLiteral("unknown argument %1").arg(arg);
        }
    }
    if (!error.isEmpty())
        return false;
    if (options.json && options.csv) {
        error = QStringLiteral("--json and --csv cannot be given together");
        return false;
    }
    if (options.csv && options.summary) {
        error = QStringLiteral("--summary has no CSV form; use --json");
        return false;
    }
    return true;
}

const char* HistoryUsageText()
{
    return "Usage: norvane-flash history [--since T] [--until T] [--port P] [--outcome O]\n"
           "                             [--crc XXXX] [--record PATH|URL]\n"
           "                             [--json | --csv] [--summary] [--html FILE]\n"
           "\n"
           "Lists the recorded downloads, newest first: every download of norvane-flash\n"
           "and of the window leaves one row when it ends.\n"
           "\n"
           "Options:\n"
           "  --since T, --until T  downloads started at or after T, or before T:\n"
           "                        2026-12-07, \"2026-12-07 14:30\" (local time),\n"
           "                        2026-12-07T14:30:00Z, or back from now: 90s, 30m, 8h, 7d\n"
           "  --port P              on port P (as named, or the device it reached)\n"
           "  --outcome O           with outcome O (downloaded, failed, cancelled, ...)\n"
           "  --crc XXXX            of the firmware with this CRC\n"
           "  --record PATH         read the SQLite file PATH instead of the default\n"
           "                        ~/.local/share/NorvaneProg/history.sqlite\n"
           "  --record postgresql://USER@HOST[:PORT]/DB\n"
           "                        read the database that the stations of a line share\n"
           "  --json                one JSON object per row (with --summary: one object)\n"
           "  --csv                 comma-separated values with a header line\n"
           "  --summary             counts per outcome and per firmware CRC, mean duration\n"
           "  --html FILE           write a page with charts of the downloads to FILE\n"
           "                        (self-contained: opens in any browser, offline)\n"
           "  -h, --help            show this help\n"
           "\n"
           "Exit codes: 0 listed, 1 the record cannot be read or FILE not written,\n"
           "64 bad command line.\n";
}
