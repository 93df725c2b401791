#pragma once

#include "PortRun.h"
#include "Recorder.h"

#include <QString>

class EventSink;

// The record that flash and station write each try of a download to. A record that cannot be
// written is a warning on standard error, never a failed download.
class FlashRecord
{
public:
    // Opens the record, sending the rows that wait for its server first.
    explicit FlashRecord(const RecordTarget& target);

    // What a run does as each try starts and ends: the row starts, and once the try has ended
    // it is appended before its outcome is reported.
    PortRun::TryEnd BeginTry(const QString& port, EventSink& reporter) const;

private:
    void Warn(const QString& warning) const;

    Recorder m_recorder;
};
