#include "ReplyTimesChart.h"

#include "LinkQuality.h"
#include "PageText.h"

#include <algorithm>

namespace {

constexpr double kRowHeight = 24;
constexpr double kTop = 20;    // room for the label of the late line
constexpr double kBottom = 18; // room for the scale
constexpr double kLabelWidth = 170;
constexpr double kRightMargin = 110; // room for the figure after the longest bar

} // namespace

QString ReplyTimesChart(const std::vector<AdapterReplies>& adapters, double chartWidth)
{
    if (adapters.empty())
        return QStringLiteral("<p class='none'>No row carries reply times.</p>");
    // The scale reaches past the late line, so that the line and a bar beyond it both show.
    int highest = 2 * kLateReplyMs;
    for (const AdapterReplies& adapter : adapters)
        highest = std::max(highest, adapter.programMaxMs);
    highest = (highest + 4) / 5 * 5;
    const double plotWidth = chartWidth - kLabelWidth - kRightMargin;
    const auto xOf = [&](int ms) { return kLabelWidth + plotWidth * ms / highest; };
    const double plotBottom = kTop + kRowHeight * static_cast<double>(adapters.size());
    const double height = plotBottom + kBottom;

    QString svg =
        QStringLiteral("<svg viewBox='0 0 %1 %2' role='img' aria-label='Reply times per adapter'>")
            .arg(chartWidth)
            .arg(height);
    for (size_t i = 0; i < adapters.size(); ++i) {
        const AdapterReplies& adapter = adapters[i];
        const double y = kTop + kRowHeight * static_cast<double>(i);
        const double barEnd = xOf(adapter.programMedianMs);
        svg += QStringLiteral("<text x='%1' y='%2' class='axis' text-anchor='end'>%3</text>")
                   .arg(kLabelWidth - 6)
                   .arg(y + 15)
                   .arg(PageText(adapter.adapter));
        svg += QStringLiteral("<rect x='%1' y='%2' width='%3' height='14' fill='%4'/>")
                   .arg(kLabelWidth)
                   .arg(y + 5)
                   .arg(std::max(1.0, barEnd - kLabelWidth))
                   .arg(adapter.late ? QStringLiteral("#d64545") : QStringLiteral("#2e9d5b"));
        svg += QStringLiteral("<line x1='%1' y1='%2' x2='%1' y2='%3' stroke='#555'/>")
                   .arg(xOf(adapter.programMaxMs))
                   .arg(y + 3)
                   .arg(y + 21);
        svg += QStringLiteral("<text x='%1' y='%2' class='axis'>%3 ms, max %4%5</text>")
                   .arg(std::max(barEnd, xOf(adapter.programMaxMs)) + 5)
                   .arg(y + 15)
                   .arg(adapter.programMedianMs)
                   .arg(adapter.programMaxMs)
                   .arg(adapter.late ? QStringLiteral(": late") : QString());
        svg += QStringLiteral("<rect x='0' y='%1' width='%2' height='%3' class='hit'><title>%4: "
                              "median %5 ms, largest %6 ms, %7 downloads</title></rect>")
                   .arg(y)
                   .arg(chartWidth)
                   .arg(kRowHeight)
                   .arg(PageText(adapter.adapter))
                   .arg(adapter.programMedianMs)
                   .arg(adapter.programMaxMs)
                   .arg(adapter.rows);
    }
    svg += QStringLiteral("<line x1='%1' y1='%2' x2='%1' y2='%3' class='limit'/>"
                          "<text x='%1' y='12' class='axis' text-anchor='middle'>late above %4 "
                          "ms</text>")
               .arg(xOf(kLateReplyMs))
               .arg(kTop)
               .arg(plotBottom)
               .arg(kLateReplyMs);
    svg += QStringLiteral("<line x1='%1' y1='%2' x2='%3' y2='%2' class='rule'/>"
                          "<text x='%1' y='%4' class='axis' text-anchor='middle'>0</text>"
                          "<text x='%3' y='%4' class='axis' text-anchor='middle'>%5 ms</text>")
               .arg(kLabelWidth)
               .arg(plotBottom)
               .arg(xOf(highest))
               .arg(height - 4)
               .arg(highest);
    return svg + QStringLiteral("</svg><p class='none'>Bar: the median wait for a reply to a "
                                "program packet; tick: the largest.</p>");
}
