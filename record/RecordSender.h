#pragma once

#include "DownloadRecord.h"
#include "RecordStore.h"

#include <QString>

#include <functional>
#include <memory>
#include <thread>

// Takes rows where they belong on a thread of its own, so that neither a busy server nor a
// locked file holds up a download, a station or a stop: rows the file could not take (it
// stayed locked past the busy time-out) are kept in memory and written once it is free, and
// for a server the rows waiting in the local file are sent, oldest first, with a back-off
// while the server cannot take them. One per process, for the record the process writes.
//
// A problem is warned about once, when it starts, and once when it is over; warn is called
// on the sender's thread.
class RecordSender
{
public:
    using Warn = std::function<void(const QString& warning)>;

    RecordSender(RecordStore store, Warn warn);
    // Ends the thread as Quit does, waiting as long as its call to the server takes.
    ~RecordSender();
    RecordSender(const RecordSender&) = delete;
    RecordSender& operator=(const RecordSender&) = delete;

    // A row the file could not take: kept in memory, written when the file is free.
    void Keep(const DownloadRecord& row) const;
    // A row went into the local file: the kept rows are written and the waiting ones sent.
    void RowAppended() const;

    struct Left
    {
        int kept = 0;   // rows in memory, not in the file
        int unsent = 0; // rows in the local file, not on the server
    };
    // Tries at once, and again until nothing is left or waitMs has passed; what is left.
    Left Deliver(int waitMs) const;
    // What is left, without waiting.
    Left Waiting() const;

    // Ends the thread once its current call has returned, waiting up to waitMs: true when it
    // has ended. False while it is still inside a call to the server (which returns at the
    // server's time-outs at the latest): the thread is left to finish on its own, and the
    // program must end without running the destructors of Qt's globals under it.
    [[nodiscard]] bool Quit(int waitMs);

private:
    struct Shared;
    static void Run(const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> m_shared; // shared with the thread, which may outlive this
    std::thread m_thread;
};
