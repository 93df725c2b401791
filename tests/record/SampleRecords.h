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
