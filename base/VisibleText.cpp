#include "VisibleText.h"

bool IsControlCharacter(QChar c)
{
    const char16_t code = c.unicode();
    return c.category() == QChar::Other_Control || code == u'\u061c' || code == u'\u200e' ||
           code == u'\u200f' || (code >= u'\u202a' && code <= u'\u202e') ||
           (code >= u'\u2066' && code <= u'\u2069');
}

QString VisibleText(const QString& text)
{
    QString visible;
    visible.reserve(text.size());
    for (const QChar c : text) {
        if (!IsControlCharacter(c))
            visible += c;
        else if (c == u'\n')
            visible += QLatin1String("\\n");
        else if (c == u'\r')
            visible += QLatin1String("\\r");
        else if (c == u'\t')
            visible += QLatin1String("\\t");
        else if (c.unicode() <= 0xff)
            visible += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            visible += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return visible;
}
