#pragma once

#include "Firmware.h"
#include "PortRun.h"
#include "RecordTarget.h"
#include "TryRecord.h"

#include <QString>

class EventSink;
class StopSignals;

// The record of tries as flash and station write it: its warnings go to standard error, and
// each try's outcome is reported in the sink once its row is written.
class FlashRecord
{
public:
    // Opens the local file; rows that wait there for its server from an earlier run are sent.
    // The runs of firmware show their events in reporter.
    FlashRecord(const RecordTarget& target, EventSink& reporter, const Firmware& firmware);

    // The events of the runs: the reporter's, with the status that says a device has its
    // firmware shown once the row of its try is written.
    RunEvents& Events() { return m_tries.Events(); }

    // What a run does as each try starts and ends (see TryRecord).
    PortRun::TryEnd BeginTry(const QString& port) { return m_tries.BeginTry(port); }

    // Once every run has ended and the output is written: gives the rows that wait a few
    // seconds to get where they belong (none after a stop, and a stop meanwhile ends the
    // program at once) and says on standard error how many did not. Returns exitCode, or ends
    // the program with it (see RecordSender::Quit).
    int End(StopSignals& stops, int exitCode);

private:
    static void Warn(const QString& warning);

    TryRecord m_tries;
};
