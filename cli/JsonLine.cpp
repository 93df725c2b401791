#include "JsonLine.h"

#include "CompactJson.h"

#include <QJsonDocument>
#include <QJsonObject>

JsonLine::JsonLine(const char* event, const QString& port)
{
    Add("event", QLatin1String(event));
    Add("port", port.isEmpty() ? QJsonValue() : QJsonValue(port));
}

JsonLine& JsonLine::Add(const char* key, const QJsonValue& value)
{
    // An object of one member, written by Qt and taken out of its braces.
    const QByteArray member = CompactJson(QJsonDocument(QJsonObject{{QLatin1String(key), value}}));
    if (!m_members.isEmpty())
        m_members += ',';
    m_members += member.mid(1, member.size() - 2);
    return *this;
}
