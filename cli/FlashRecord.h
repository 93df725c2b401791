#pragma once

#include "Firmware.h"
#include "PortRun.h"
#include "RecordSender.h"
#include "Recorder.h"
#include "RowFirstEvents.h"

#include <QString>

class EventSink;
class StopSignals;

// The record that flash and station write each try of a download to. A record that cannot be
// written is a warning on standard error, never a failed download; nothing of the record, a
// server least of all, holds up a download or a stop.
class FlashRecord
{
public:
    // Opens the local file; rows that wait there for its server from an earlier run are sent.
    // The runs of firmware show their events in reporter.
    FlashRecord(const RecordTarget& target, EventSink& reporter, const Firmware& firmware);

    // The events of the runs: the reporter's, with the status that says a device has its
    // firmware shown once the row of its try is written.
    RunEvents& Events() { return m_events; }

    // What a run does as each try starts and ends: the row starts, and once the try has ended
    // it is committed to the local file (or, while the file is locked, kept in memory) before
    // its outcome is reported. The sender takes it on to the server.
    PortRun::TryEnd BeginTry(const QString& port);

    // Once every run has ended and the output is written: gives the rows that wait a few
    // seconds to get where they belong (none after a stop, and a stop meanwhile ends the
    // program at once) and says on standard error how many did not. Returns exitCode, or ends
    // the program with it (see RecordSender::Quit).
    int End(StopSignals& stops, int exitCode);

private:
    static void Warn(const QString& warning);

    EventSink& m_reporter;
    RowFirstEvents m_events;
    Recorder m_recorder;
    QString m_openWarning; // why the record could not be opened, or empty
    RecordSender m_sender;
};
