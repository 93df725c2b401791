#pragma once

#include "DownloadRecord.h"

#include <QRandomGenerator>
#include <QString>

// Rows that look like a production line's: several adapters on one host, mostly verified
// downloads of about 7.5 s, and now and then a failure of one kind or another.
struct SampleLine
{
    QString host;
    QDateTime now;
    int spreadSeconds = 0; // rows start at random moments this far back from now
    QRandomGenerator random{1};
};

DownloadRecord SampleRecord(SampleLine& line);

// The table of downloads as the first version of the record made it (before the reply-wait
// columns), on a server or in a local file (with unsent_to), and a row of that version.
QString FirstVersionTableSql(bool localFile);
QString FirstVersionRowSql();
