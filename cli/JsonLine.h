#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>

// One event as a line of JSON whose keys keep the order they are added in: "event" first,
// then "port" (null for the shared load stage), then the event's own keys. Keys and values
// are escaped as CompactJson escapes them.
class JsonLine
{
public:
    JsonLine(const char* event, const QString& port);
    JsonLine& Add(const char* key, const QJsonValue& value);
    // The object and a line break.
    QByteArray Text() const { return '{' + m_members + "}\n"; }

private:
    QByteArray m_members;
};
