#include "FlashReporter.h"

#include <QRegularExpression>

QString FormatDuration(int64_t ms)
{
    const int64_t seconds = ms / 1000;
    const QChar zero(QLatin1Char('0'));
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg(seconds / 60 % 60, 2, 10, zero)
            .arg(seconds % 60, 2, 10, zero);
    return QStringLiteral("%1:%2").arg(seconds / 60, 2, 10, zero).arg(seconds % 60, 2, 10, zero);
}

int64_t RemainingMs(int value, int maximum, int64_t elapsedMs)
{
    if (value <= 0 || maximum < value)
        return -1;
    return elapsedMs * (maximum - value) / value;
}

QString OneLine(const QString& prompt)
{
    static const QRegularExpression lineBreaks(QStringLiteral("[\r\n]+"));
    return prompt.trimmed().replace(lineBreaks, QStringLiteral(" "));
}

QString MessageLine(const QString& title, const QString& prompt)
{
    return title.isEmpty() ? OneLine(prompt) : title + QStringLiteral(": ") + OneLine(prompt);
}
