#pragma once

#include "Firmware.h"
#include "PortRun.h"
#include "RecordSender.h"
#include "RecordStore.h"
#include "RecordTarget.h"
#include "Recorder.h"
#include "RowFirstEvents.h"

#include <QString>

#include <functional>

// The record that a program writes each try of a download to: the row starts as the try
// starts, and once the try has ended it is committed to the local file (or, while the file is
// locked, kept in memory) before the try's outcome is shown; a sender thread takes it on to
// the server. A record that cannot be written is a warning, never a failed download; nothing
// of the record, a server least of all, holds up a download or a stop.
//
// The sentences of every warning are made here; the program only shows them (on standard
// error, in a status bar).
class TryRecord
{
public:
    // Called from any thread: the constructor's, the tries', the sender's and the end's.
    using Warn = std::function<void(const QString& warning)>;
    // Called on the try's thread once its row is committed (or said not to be).
    using Shown = std::function<void(const TryResult& result)>;

    // How long a normal end waits for the rows still to go, and any end for the sender to end.
    static constexpr int kDeliverAtEndMs = 3000;
    static constexpr int kSenderEndMs = 200;

    // Opens the local file; rows that wait there for its server from an earlier run are sent.
    // The runs of firmware show their events in events, and each try's outcome through shown.
    // A write waits up to busyTimeoutMs for a file another process holds locked.
    TryRecord(const RecordTarget& target, RunEvents& events, const Firmware& firmware, Warn warn,
              Shown shown, int busyTimeoutMs = RecordStore::kBusyTimeoutMs);
    TryRecord(const TryRecord&) = delete;
    TryRecord& operator=(const TryRecord&) = delete;

    // The events of the runs: passed on to events, but for the status that says a device has
    // its firmware, which is shown once the row of its try is committed.
    RunEvents& Events() { return m_events; }

    // What a run does as each try starts: the row starts; the function returned commits it
    // once the try has ended, then calls shown.
    PortRun::TryEnd BeginTry(const QString& port);

    // The rows that have not got where they belong, without waiting.
    RecordSender::Left Waiting() const { return m_sender.Waiting(); }
    // Tries to deliver the rows left until none is left or waitMs has passed; what is left.
    RecordSender::Left Deliver(int waitMs) const { return m_sender.Deliver(waitMs); }
    // Warns of the rows in left: kept in memory, or waiting in the local file for the server.
    void WarnLeft(const RecordSender::Left& left) const;

    // Ends the sender thread, waiting up to waitMs: true when it has ended. False while it is
    // inside a call to the server: the program must then end without destroying Qt's globals
    // (see RecordSender::Quit).
    [[nodiscard]] bool QuitSender(int waitMs) { return m_sender.Quit(waitMs); }

private:
    void WarnNotWritten(const QString& port, const StoreResult& stored) const;

    Warn m_warn;
    Shown m_shown;
    RowFirstEvents m_events;
    Recorder m_recorder;
    QString m_openWarning; // why the record could not be opened, or empty
    RecordSender m_sender;
};
