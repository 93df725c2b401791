#include "DurationText.h"

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
