#include "PageText.h"

#include "VisibleText.h"

QString PageText(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (IsControlCharacter(c))
            shown += QStringLiteral("<U+%1>").arg(
                QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0'));
        else
            shown += c;
    }
    return shown.toHtmlEscaped().replace(QLatin1Char('\''), QLatin1String("&#39;"));
}
