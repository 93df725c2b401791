#include "HistoryOptions.h"

#include "Commands.h"
#include "Outcome.h"
#include "SharedOptions.h"

#include <QRegularExpression>

namespace {

// "A1B2", "a1b2", "0xA1B2" or "A1B2h" as four upper-case hex digits; empty when not a CRC.
// Exactly four digits: a CRC copied short ("A1B") is a typo, not "0A1B".
QString CrcArgument(QString text)
{
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        text = text.mid(2);
    else if (text.endsWith(QLatin1Char('h'), Qt::CaseInsensitive))
        text.chop(1);
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{4}$"));
    if (!hex.match(text).hasMatch())
        return QString();
    return text.toUpper();
}

QString IsTime(const OptionDeclaration& option, const QString& value, const QStringList&)
{
    if (ParseHistoryTime(value, QDateTime::currentDateTimeUtc()).isValid())
        return QString();
    return QStringLiteral("%1 %2 is not a time (2026-12-07 14:30, 8h, 7d ...)")
        .arg(QLatin1String(option.name), value);
}

QString IsCrc(const OptionDeclaration& option, const QString& value, const QStringList&)
{
    if (!CrcArgument(value).isEmpty())
        return QString();
    return QStringLiteral("%1 %2 is not a CRC (four hex digits)")
        .arg(QLatin1String(option.name), value);
}

QString IsOutcomeWord(const OptionDeclaration& option, const QString& value, const QStringList&)
{
    if (OutcomeFromWord(value))
        return QString();
    return QStringLiteral("%1 %2 is not an outcome (%3)")
        .arg(QLatin1String(option.name), value, OutcomeWords().join(QLatin1String(", ")));
}

constexpr OptionDeclaration kSinceOption{.name = "--since", .valueName = "T", .check = IsTime};
constexpr OptionDeclaration kUntilOption{.name = "--until", .valueName = "T", .check = IsTime};
// The rows of one port (as named, or the device it reached): a filter, not flash's --port. It
// opens no device, so it has no -p and no rule against a port given twice; the last one counts.
constexpr OptionDeclaration kPortOption{.name = "--port", .valueName = "P"};
constexpr OptionDeclaration kOutcomeOption{
    .name = "--outcome", .valueName = "O", .check = IsOutcomeWord};
constexpr OptionDeclaration kCrcOption{.name = "--crc", .valueName = "XXXX", .check = IsCrc};
constexpr OptionDeclaration kCsvOption{.name = "--csv"};
constexpr OptionDeclaration kSummaryOption{.name = "--summary"};
constexpr OptionDeclaration kHtmlOption{.name = "--html", .valueName = "FILE"};

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

const OptionTable kHistoryOptionTable{.options = {&kSinceOption, &kUntilOption, &kPortOption,
                                                  &kOutcomeOption, &kCrcOption, &kRecordOption,
                                                  &kJsonOption, &kCsvOption, &kSummaryOption,
                                                  &kHtmlOption, &kHelpOption},
                                      .operands = false,
                                      .unknown = "unknown argument %1"};

bool ParseHistoryOptions(const QStringList& args, const QDateTime& now, HistoryOptions& options,
                         QString& error)
{
    ParsedOptions parsed;
    if (!ParseOptions(args, kHistoryOptionTable, parsed, error))
        return false;
    if (parsed.Has(kSinceOption))
        options.filter.since = ParseHistoryTime(parsed.Value(kSinceOption), now);
    if (parsed.Has(kUntilOption))
        options.filter.until = ParseHistoryTime(parsed.Value(kUntilOption), now);
    options.filter.port = parsed.Value(kPortOption);
    options.filter.outcome = parsed.Value(kOutcomeOption);
    options.filter.crc = CrcArgument(parsed.Value(kCrcOption));
    options.record = parsed.Value(kRecordOption);
    options.htmlFile = parsed.Value(kHtmlOption);
    options.json = parsed.Has(kJsonOption);
    options.csv = parsed.Has(kCsvOption);
    options.summary = parsed.Has(kSummaryOption);
    options.help = parsed.Has(kHelpOption);
    if (options.json && options.csv)
        error = QStringLiteral("--json and --csv cannot be given together");
    else if (options.csv && options.summary)
        error = QStringLiteral("--summary has no CSV form; use --json");
    return error.isEmpty();
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
           "Exit codes:\n"
           "  0   listed\n"
           "  1   the record cannot be read, or FILE not written\n"
           "  64  bad command line\n"
           "  74  the output could not be written\n";
}
