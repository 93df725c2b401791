#include "CompactJson.h"

#include "VisibleText.h"

#include <QString>

#include <algorithm>

QByteArray CompactJson(const QJsonDocument& document)
{
    const QByteArray json = document.toJson(QJsonDocument::Compact);
    const QString text = QString::fromUtf8(json);
    if (std::none_of(text.begin(), text.end(), IsControlCharacter))
        return json;
    // Only in strings: JSON's own syntax is ASCII without controls.
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (IsControlCharacter(c))
            escaped += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped.toUtf8();
}
