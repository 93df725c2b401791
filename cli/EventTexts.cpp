#include "EventTexts.h"

#include <QRegularExpression>

QString OneLine(const QString& prompt)
{
    static const QRegularExpression lineBreaks(QStringLiteral("[\r\n]+"));
    return prompt.trimmed().replace(lineBreaks, QStringLiteral(" "));
}

QString MessageLine(const MessageBoxText& box)
{
    const QString line = (box.title.isEmpty() ? kApplicationTitle : box.title) +
                         QStringLiteral(": ") + OneLine(box.prompt);
    return box.detail.isEmpty() ? line : line + QLatin1Char(' ') + box.detail;
}

QString OutcomeText(const TryResult& summary)
{
    const QString phrase = OutcomePhrase(summary.run.outcome);
    return summary.detail.isEmpty() ? phrase : phrase + QStringLiteral(" - ") + summary.detail;
}

QString SummaryLine(const TryResult& summary)
{
    // The shared load stage belongs to no port.
    QString text = (summary.port.isEmpty() ? QString() : summary.port + QStringLiteral(": ")) +
                   OutcomeText(summary);
    if (summary.elapsedMs > 0)
        text += QStringLiteral(" (%1)").arg(FormatDuration(summary.elapsedMs));
    return text;
}

QString CountsText(const StationCounts& counts)
{
    QString text = QStringLiteral("%1 done, %2 failed, %3 stopped, %4 running, %5 waiting")
                       .arg(counts.done)
                       .arg(counts.failed)
                       .arg(counts.cancelled)
                       .arg(counts.running)
                       .arg(counts.waiting);
    if (counts.done > 0)
        text += QStringLiteral("; mean download time %1 s")
                    .arg(static_cast<double>(counts.MeanDownloadMs()) / 1000.0, 0, 'f', 1);
    return text;
}

QString StoppedText(const StationCounts& counts)
{
    return QStringLiteral("Station stopped: ") + CountsText(counts);
}
