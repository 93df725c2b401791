#include "VisibleText.h"

QString VisibleText(const QString& text)
{
    QString visible;
    visible.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() != QChar::Other_Control)
            visible += c;
        else if (c == u'\n')
            visible += QLatin1String("\\n");
        else if (c == u'\r')
            visible += QLatin1String("\\r");
        else if (c == u'\t')
            visible += QLatin1String("\\t");
        else
            visible += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    }
    return visible;
}
