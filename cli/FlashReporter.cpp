#include "FlashReporter.h"

#include <QRegularExpression>

QString OneLine(const QString& prompt)
{
    static const QRegularExpression lineBreaks(QStringLiteral("[\r\n]+"));
    return prompt.trimmed().replace(lineBreaks, QStringLiteral(" "));
}
