#pragma once

#include <QDateTime>
#include <QString>

// Which rows a query returns; an empty field does not filter.
struct RecordFilter
{
    QDateTime since; // started at or after
    QDateTime until; // started before
    QString port;    // the port as named, or the device it reached
    QString outcome;
    QString crc; // four hex digits, any case
};
