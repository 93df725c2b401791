#include "HistoryPage.h"

#include "AdapterReplies.h"
#include "HistoryListing.h"
#include "Outcome.h"
#include "PageText.h"
#include "ReplyTimesChart.h"

#include <QMap>
#include <QStringList>

#include <algorithm>

namespace {

constexpr int kNewestRows = 50;
constexpr int kMostBuckets = 96;
constexpr int kDurationBins = 12;
constexpr int kTopFailures = 10;
constexpr double kWideChart = 900;
constexpr double kNarrowChart = 440;
constexpr double kChartHeight = 180;
const QString kDownloaded = OutcomeWord(Outcome::Downloaded);
const QString kCancelled = OutcomeWord(Outcome::Cancelled);

// A word that is no outcome of this program (a row of another version) is shown in blue.
QString OutcomeColour(const QString& word)
{
    const std::optional<Outcome> outcome = OutcomeFromWord(word);
    switch (outcome.value_or(Outcome::Downloaded)) {
    case Outcome::Downloaded:
        return outcome ? QStringLiteral("#2e9d5b") : QStringLiteral("#4a7fc1");
    case Outcome::Failed:
        return QStringLiteral("#d64545");
    case Outcome::BootloaderNotStarted:
        return QStringLiteral("#e08a1e");
    case Outcome::PortUnavailable:
        return QStringLiteral("#8e5cc2");
    case Outcome::Cancelled:
        return QStringLiteral("#8a8f98");
    case Outcome::FileUnusable:
        return QStringLiteral("#9c6b3c");
    }
    return QStringLiteral("#4a7fc1");
}

// Outcomes in a fixed order: downloaded first, then by how often they occur.
QStringList OutcomeOrder(const QMap<QString, int>& counts)
{
    QStringList order = counts.keys();
    std::stable_sort(order.begin(), order.end(), [&](const QString& a, const QString& b) {
        if ((a == kDownloaded) != (b == kDownloaded))
            return a == kDownloaded;
        return counts.value(a) > counts.value(b);
    });
    return order;
}

struct Bar
{
    QString label;
    QMap<QString, int> segments; // outcome -> rows
    QString colour;              // for a single-series chart
    int total = 0;
};

// A vertical bar chart; each bar is stacked by outcome in the given order.
QString BarChart(const std::vector<Bar>& bars, const QStringList& order, const QString& caption,
                 double chartWidth)
{
    int highest = 1;
    for (const Bar& bar : bars)
        highest = std::max(highest, bar.total);
    const double left = 34;
    const double bottom = 22;
    const double plotHeight = kChartHeight - bottom - 8;
    const double step = (chartWidth - left) / std::max<size_t>(bars.size(), 1);
    const size_t labelEvery = std::max<size_t>(1, (bars.size() + 11) / 12);
    QString svg = QStringLiteral("<svg viewBox='0 0 %1 %2' role='img' aria-label='%3'>")
                      .arg(chartWidth)
                      .arg(kChartHeight)
                      .arg(PageText(caption));
    svg += QStringLiteral("<text x='%1' y='14' class='axis' text-anchor='end'>%2</text>"
                          "<line x1='%3' y1='8' x2='%3' y2='%4' class='rule'/>"
                          "<text x='%1' y='%4' class='axis' text-anchor='end'>0</text>")
               .arg(left - 4)
               .arg(highest)
               .arg(left)
               .arg(8 + plotHeight);
    for (size_t i = 0; i < bars.size(); ++i) {
        const Bar& bar = bars[i];
        const double x = left + i * step + step * 0.12;
        double y = 8 + plotHeight;
        QStringList parts;
        for (const QString& outcome : order) {
            const int count = bar.segments.value(outcome);
            if (count == 0)
                continue;
            const double height = plotHeight * count / highest;
            y -= height;
            svg += QStringLiteral("<rect x='%1' y='%2' width='%3' height='%4' fill='%5'/>")
                       .arg(x)
                       .arg(y)
                       .arg(step * 0.76)
                       .arg(height)
                       .arg(bar.colour.isEmpty() ? OutcomeColour(outcome) : bar.colour);
            parts.append(QStringLiteral("%1 %2").arg(count).arg(outcome));
        }
        svg += QStringLiteral("<rect x='%1' y='8' width='%2' height='%3' class='hit'>"
                              "<title>%4: %5</title></rect>")
                   .arg(left + i * step)
                   .arg(step)
                   .arg(plotHeight)
                   .arg(PageText(bar.label), PageText(parts.join(QStringLiteral(", "))));
        if (i % labelEvery == 0) {
            svg += QStringLiteral("<text x='%1' y='%2' class='axis' text-anchor='middle'>%3"
                                  "</text>")
                       .arg(left + (i + 0.5) * step)
                       .arg(kChartHeight - 6)
                       .arg(PageText(bar.label));
        }
    }
    return svg + QStringLiteral("</svg>");
}

// Downloads per hour (per day when the rows span more than three days), stacked by outcome.
QString DownloadsOverTime(const std::vector<DownloadRecord>& rows, const QStringList& order,
                          QString& heading)
{
    QDateTime newest;
    QDateTime oldest;
    for (const DownloadRecord& row : rows) {
        if (!row.started.isValid())
            continue; // a row written by something else
        if (!newest.isValid() || row.started > newest)
            newest = row.started.toUTC();
        if (!oldest.isValid() || row.started < oldest)
            oldest = row.started.toUTC();
    }
    if (!newest.isValid()) {
        heading = QStringLiteral("Downloads over time");
        return QStringLiteral("<p class='none'>No row has a start time.</p>");
    }
    const bool hourly = oldest.secsTo(newest) <= 3 * 86400;
    heading = hourly ? QStringLiteral("Downloads per hour (UTC)")
                     : QStringLiteral("Downloads per day (UTC)");
    const auto bucketOf = [&](const QDateTime& time) {
        const QDateTime utc = time.toUTC();
        return hourly ? QDateTime(utc.date(), QTime(utc.time().hour(), 0), Qt::UTC)
                      : QDateTime(utc.date(), QTime(0, 0), Qt::UTC);
    };
    const qint64 size = hourly ? 3600 : 86400;
    QDateTime first = bucketOf(oldest);
    const QDateTime last = bucketOf(newest);
    if (first.secsTo(last) / size >= kMostBuckets)
        first = last.addSecs(-size * (kMostBuckets - 1));
    std::vector<Bar> bars;
    for (QDateTime bucket = first; bucket <= last; bucket = bucket.addSecs(size))
        bars.push_back({bucket.toString(hourly ? QStringLiteral("HH:00") : QStringLiteral("MM-dd")),
                        {},
                        QString(),
                        0});
    for (const DownloadRecord& row : rows) {
        if (!row.started.isValid())
            continue;
        const qint64 index = first.secsTo(bucketOf(row.started)) / size;
        if (index < 0 || index >= static_cast<qint64>(bars.size()))
            continue;
        Bar& bar = bars[static_cast<size_t>(index)];
        ++bar.segments[row.outcome];
        ++bar.total;
    }
    return BarChart(bars, order, heading, kWideChart);
}

// The width of a bin of download times: 1, 2 or 5 times a power of ten, from 0.1 s, the
// smallest with which at most kDurationBins bins cover span. Its bins start at round times,
// so that no two are labelled alike.
int64_t DurationBinMs(int64_t spanMs)
{
    for (int64_t scale = 100;; scale *= 10) {
        for (const int64_t step : {1, 2, 5}) {
            if (step * scale * (kDurationBins - 1) >= spanMs)
                return step * scale;
        }
    }
}

// A bin's start as its label: whole seconds, or tenths where the bins are narrower.
QString DurationLabel(int64_t ms, int64_t binMs)
{
    return QString::number(ms / 1000.0, 'f', binMs % 1000 == 0 ? 0 : 1) + QStringLiteral(" s");
}

// How long the downloads that succeeded took, in equal bins.
QString DurationDistribution(const std::vector<DownloadRecord>& rows)
{
    std::vector<int64_t> durations;
    for (const DownloadRecord& row : rows) {
        if (row.outcome == kDownloaded)
            durations.push_back(std::max<int64_t>(row.durationMs, 0));
    }
    if (durations.empty())
        return QStringLiteral("<p class='none'>No download succeeded.</p>");
    const auto [low, high] = std::minmax_element(durations.begin(), durations.end());
    const int64_t binMs = DurationBinMs(*high - *low);
    const int64_t from = *low / binMs * binMs;
    std::vector<Bar> bars;
    for (int64_t start = from; start <= *high; start += binMs)
        bars.push_back({DurationLabel(start, binMs), {}, QStringLiteral("#2e9d5b"), 0});
    for (int64_t ms : durations) {
        Bar& bar = bars[static_cast<size_t>((ms - from) / binMs)];
        ++bar.segments[kDownloaded];
        ++bar.total;
    }
    return BarChart(bars, {kDownloaded}, QStringLiteral("Download times"), kNarrowChart);
}

// The largest counts as horizontal bars, with the rest summed up in one line.
QString Ranking(const QMap<QString, int>& counts)
{
    if (counts.isEmpty())
        return QStringLiteral("<p class='none'>No failures.</p>");
    QList<QPair<QString, int>> ranked;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        ranked.append({it.key(), it.value()});
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    const int highest = ranked.front().second;
    QString html = QStringLiteral("<table class='rank'>");
    int others = 0;
    for (qsizetype i = 0; i < ranked.size(); ++i) {
        if (i >= kTopFailures) {
            others += ranked[i].second;
            continue;
        }
        html += QStringLiteral("<tr><td class='label'>%1</td><td class='barcell'>"
                               "<div class='bar' style='width:%2%'></div></td>"
                               "<td class='count'>%3</td></tr>")
                    .arg(PageText(ranked[i].first),
                         QString::number(100.0 * ranked[i].second / highest, 'f', 1),
                         QString::number(ranked[i].second));
    }
    if (others > 0)
        html += QStringLiteral("<tr><td class='label'>others</td><td></td><td class='count'>%1"
                               "</td></tr>")
                    .arg(others);
    return html + QStringLiteral("</table>");
}

// An adapter by its serial number, which is written on it; its kind when it has none.
QString AdapterName(const DownloadRecord& row)
{
    if (!row.usbSerial.isEmpty())
        return row.usbSerial;
    return row.adapter.isEmpty() ? QStringLiteral("no USB adapter reported") : row.adapter;
}

// A port without the folder of a /dev/serial/by-id link, on the host it belongs to. Any other
// path stays whole: "null" alone would hide that the port was /dev/null.
QString PortName(const DownloadRecord& row)
{
    static const QLatin1String byId("/dev/serial/by-id/");
    const QString port = row.port.startsWith(byId) ? row.port.mid(byId.size()) : row.port;
    return row.host.isEmpty() ? port : row.host + QLatin1Char(':') + port;
}

QString OutcomeShares(const QMap<QString, int>& counts, const QStringList& order, int total)
{
    QString bar = QStringLiteral("<div class='shares'>");
    QString legend = QStringLiteral("<ul class='legend'>");
    for (const QString& outcome : order) {
        const double share = 100.0 * counts.value(outcome) / total;
        bar += QStringLiteral("<div style='width:%1%;background:%2' title='%3'></div>")
                   .arg(share, 0, 'f', 2)
                   .arg(OutcomeColour(outcome), PageText(outcome));
        legend += QStringLiteral("<li><span class='swatch' style='background:%1'></span>%2 "
                                 "<b>%3</b> (%4%)</li>")
                      .arg(OutcomeColour(outcome), PageText(outcome),
                           QString::number(counts.value(outcome)), QString::number(share, 'f', 1));
    }
    return bar + QStringLiteral("</div>") + legend + QStringLiteral("</ul>");
}

QString NewestRows(const std::vector<DownloadRecord>& rows)
{
    QString html =
        QStringLiteral("<table class='rows'><tr><th>started (UTC)</th><th>host</th><th>port</th>"
                       "<th>adapter</th><th>outcome</th><th>CRC</th><th>time</th><th>steps</th>"
                       "<th>detail</th></tr>");
    const size_t shown = std::min<size_t>(rows.size(), kNewestRows);
    for (size_t i = 0; i < shown; ++i) {
        const DownloadRecord& row = rows[i];
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td>"
                               "<td><span class='swatch' style='background:%5'></span>%6</td>"
                               "<td>%7</td><td>%8</td><td>%9</td>")
                    .arg(row.started.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                         PageText(row.host), PageText(row.port), PageText(row.usbSerial),
                         OutcomeColour(row.outcome), PageText(row.outcome),
                         PageText(row.firmwareCrc), DurationText(row.durationMs),
                         QStringLiteral("%1/%2").arg(row.stepsDone).arg(row.stepsPlanned));
        html += QStringLiteral("<td>%1</td></tr>").arg(PageText(row.detail));
    }
    return html + QStringLiteral("</table>");
}

const char* kStyle =
    "body{font:14px/1.4 system-ui,sans-serif;margin:24px;color:#222;background:#f6f7f9}"
    "h1{font-size:22px;margin:0 0 4px}h2{font-size:16px;margin:0 0 10px}"
    ".meta{color:#666;margin-bottom:16px}"
    ".figures{display:flex;gap:12px;margin-bottom:16px;flex-wrap:wrap}"
    ".figure{background:#fff;border-radius:6px;padding:10px 16px;box-shadow:0 1px 2px #0002}"
    ".figure b{display:block;font-size:22px}"
    ".grid{display:grid;grid-template-columns:repeat(auto-fit,minmax(360px,1fr));gap:16px}"
    ".grid3{display:grid;grid-template-columns:repeat(auto-fit,minmax(300px,1fr));gap:16px}"
    "section{background:#fff;border-radius:6px;padding:14px 16px;box-shadow:0 1px 2px #0002;"
    "margin-bottom:16px}"
    "svg{width:100%;height:auto}.axis{font-size:10px;fill:#666}.rule{stroke:#bbb}"
    ".hit{fill:transparent}.hit:hover{fill:#0001}"
    ".shares{display:flex;height:22px;border-radius:4px;overflow:hidden}"
    ".legend{list-style:none;padding:0;margin:10px 0 0;display:flex;flex-wrap:wrap;gap:14px}"
    ".swatch{display:inline-block;width:10px;height:10px;border-radius:2px;margin-right:5px}"
    "table{border-collapse:collapse;width:100%}"
    ".rank td{padding:2px 6px}.rank .label{width:55%;word-break:break-all}"
    ".rank .count{width:3em;text-align:right}"
    ".bar{height:12px;background:#d64545;border-radius:2px}"
    ".rows th,.rows td{text-align:left;padding:4px 6px;border-bottom:1px solid #eee;"
    "font-size:12px;vertical-align:top}.rows td:first-child{white-space:nowrap}"
    ".rows td:last-child{word-break:break-word}"
    ".none{color:#666}.limit{stroke:#d64545;stroke-dasharray:4 3}";

} // namespace

QString HistoryPageHtml(const std::vector<DownloadRecord>& rows, const QString& source,
                        const QDateTime& made)
{
    QString html = QStringLiteral("<!DOCTYPE html><html lang='en'><head><meta charset='utf-8'>"
                                  "<title>Norvane downloads</title><style>%1</style></head>"
                                  "<body><h1>Norvane downloads</h1>")
                       .arg(QLatin1String(kStyle));
    html += QStringLiteral("<div class='meta'>%1 &middot; made %2 UTC</div>")
                .arg(PageText(source), made.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    if (rows.empty())
        return html + QStringLiteral("<p class='none'>No downloads recorded.</p></body></html>");

    QMap<QString, int> outcomes;
    QMap<QString, int> reasons;
    QMap<QString, int> ports;
    QMap<QString, int> adapters;
    int64_t downloadedMs = 0;
    for (const DownloadRecord& row : rows) {
        ++outcomes[row.outcome];
        if (row.outcome == kDownloaded)
            downloadedMs += row.durationMs;
        if (row.outcome == kDownloaded || row.outcome == kCancelled)
            continue; // a cancel is someone's choice, not a failure
        ++reasons[row.reason.isEmpty() ? row.outcome : row.reason];
        ++ports[PortName(row)];
        ++adapters[AdapterName(row)];
    }
    const QStringList order = OutcomeOrder(outcomes);
    const int total = static_cast<int>(rows.size());
    const int downloaded = outcomes.value(kDownloaded);

    html += QStringLiteral("<div class='figures'>"
                           "<div class='figure'>downloads<b>%1</b></div>"
                           "<div class='figure'>downloaded<b>%2%</b></div>"
                           "<div class='figure'>not downloaded<b>%3</b></div>"
                           "<div class='figure'>mean download time<b>%4</b></div>"
                           "<div class='figure'>from<b>%5</b></div>"
                           "<div class='figure'>to<b>%6</b></div></div>")
                .arg(total)
                .arg(100.0 * downloaded / total, 0, 'f', 1)
                .arg(total - downloaded)
                .arg(downloaded > 0 ? DurationText(downloadedMs / downloaded) : QStringLiteral("-"),
                     rows.back().started.toUTC().toString(QStringLiteral("MM-dd HH:mm")),
                     rows.front().started.toUTC().toString(QStringLiteral("MM-dd HH:mm")));

    QString overTimeHeading;
    const QString overTime = DownloadsOverTime(rows, order, overTimeHeading);
    html += QStringLiteral("<section><h2>%1</h2>%2</section>").arg(overTimeHeading, overTime);
    html += QStringLiteral("<div class='grid'><section><h2>Outcomes</h2>%1</section>"
                           "<section><h2>Download times (downloaded)</h2>%2</section></div>")
                .arg(OutcomeShares(outcomes, order, total), DurationDistribution(rows));
    html += QStringLiteral("<section><h2>Reply times per adapter (program packets)</h2>%1"
                           "</section>")
                .arg(ReplyTimesChart(RepliesPerAdapter(rows), kWideChart));
    html += QStringLiteral("<div class='grid3'><section><h2>Failures by reason</h2>%1</section>"
                           "<section><h2>Failures by port</h2>%2</section>"
                           "<section><h2>Failures by adapter</h2>%3</section></div>")
                .arg(Ranking(reasons), Ranking(ports), Ranking(adapters));
    html += QStringLiteral("<section><h2>Newest downloads</h2>%1</section>").arg(NewestRows(rows));
    return html + QStringLiteral("</body></html>");
}
