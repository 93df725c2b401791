#include "HistorySummary.h"

#include "CompactJson.h"
#include "HistoryListing.h"
#include "LinkQuality.h"
#include "Outcome.h"
#include "VisibleText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kDownloaded = OutcomeWord(Outcome::Downloaded);

QJsonObject Counts(const QMap<QString, int>& counts)
{
    QJsonObject object;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        object.insert(it.key(), it.value());
    return object;
}

QString Share(int part, int whole)
{
    return QString::number(whole > 0 ? 100.0 * part / whole : 0.0, 'f', 1) + QLatin1Char('%');
}

QJsonArray AdaptersJson(const std::vector<AdapterReplies>& adapters)
{
    QJsonArray array;
    for (const AdapterReplies& adapter : adapters)
        array.append(
            QJsonObject{{QStringLiteral("adapter"), adapter.adapter},
                        {QStringLiteral("rows"), adapter.rows},
                        {QStringLiteral("reply_ms_program_median"), adapter.programMedianMs},
                        {QStringLiteral("reply_ms_program_max"), adapter.programMaxMs},
                        {QStringLiteral("late"), adapter.late}});
    return array;
}

} // namespace

HistorySummary SummariseHistory(const std::vector<DownloadRecord>& rows)
{
    HistorySummary summary;
    int64_t totalMs = 0;
    int64_t downloadedMs = 0;
    for (const DownloadRecord& row : rows) {
        ++summary.rows;
        ++summary.outcomes[row.outcome];
        ++summary.crcs[row.firmwareCrc];
        totalMs += row.durationMs;
        if (row.outcome == kDownloaded) {
            ++summary.crcsDownloaded[row.firmwareCrc];
            downloadedMs += row.durationMs;
        }
    }
    const int downloaded = summary.outcomes.value(kDownloaded);
    summary.meanDurationMs = summary.rows > 0 ? totalMs / summary.rows : 0;
    summary.meanDownloadedDurationMs = downloaded > 0 ? downloadedMs / downloaded : 0;
    summary.adapters = RepliesPerAdapter(rows);
    return summary;
}

void PrintSummaryText(const HistorySummary& summary, std::FILE* out)
{
    std::fprintf(out, "%d downloads, mean duration %s (%s for those downloaded)\n", summary.rows,
                 qPrintable(DurationText(summary.meanDurationMs)),
                 qPrintable(DurationText(summary.meanDownloadedDurationMs)));
    std::fprintf(out, "\nper outcome:\n");
    for (auto it = summary.outcomes.cbegin(); it != summary.outcomes.cend(); ++it) {
        std::fprintf(out, "  %-24s %6d  %6s\n", qPrintable(VisibleText(it.key())), it.value(),
                     qPrintable(Share(it.value(), summary.rows)));
    }
    // The heading's columns end where the rows' columns end.
    std::fprintf(out, "\n%-26s %6s  %10s\n", "per firmware CRC:", "rows", "downloaded");
    for (auto it = summary.crcs.cbegin(); it != summary.crcs.cend(); ++it) {
        std::fprintf(
            out, "  %-24s %6d  %10d\n",
            qPrintable(it.key().isEmpty() ? QStringLiteral("(none)") : VisibleText(it.key())),
            it.value(), summary.crcsDownloaded.value(it.key()));
    }
    if (summary.adapters.empty())
        return; // no row carries reply figures (rows of older versions)
    std::fprintf(out, "\n%-26s %6s  %10s  %6s\n", "per adapter:", "rows", "program ms", "max");
    for (const AdapterReplies& adapter : summary.adapters) {
        std::fprintf(out, "  %-24s %6d  %10d  %6d%s\n", qPrintable(VisibleText(adapter.adapter)),
                     adapter.rows, adapter.programMedianMs, adapter.programMaxMs,
                     adapter.late ? "  late" : "");
    }
    std::fprintf(out,
                 "program ms: the median wait for a reply to a program packet; max: the longest\n"
                 "late: a median above %d ms, as when a USB adapter's latency timer holds replies "
                 "back\n",
                 kLateReplyMs);
}

void PrintSummaryJson(const HistorySummary& summary, std::FILE* out)
{
    const QJsonObject object{
        {QStringLiteral("rows"), summary.rows},
        {QStringLiteral("outcomes"), Counts(summary.outcomes)},
        {QStringLiteral("crcs"), Counts(summary.crcs)},
        {QStringLiteral("crcs_downloaded"), Counts(summary.crcsDownloaded)},
        {QStringLiteral("mean_duration_ms"), static_cast<qint64>(summary.meanDurationMs)},
        {QStringLiteral("mean_downloaded_duration_ms"),
         static_cast<qint64>(summary.meanDownloadedDurationMs)},
        {QStringLiteral("adapters"), AdaptersJson(summary.adapters)}};
    std::fprintf(out, "%s\n", CompactJson(QJsonDocument(object)).constData());
}
