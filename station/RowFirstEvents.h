#pragma once

#include "PortRun.h"

#include <QString>

#include <mutex>
#include <set>

// The events of runs passed on to a sink, but for the status that says a device has its new
// firmware: it waits until the row of its try is committed, so that nothing shows a download
// as done that the record does not have (a program killed in between shows it as unfinished).
// Called from every port's worker thread.
class RowFirstEvents : public RunEvents
{
public:
    RowFirstEvents(RunEvents& sink, QString downloadedStatus);

    void Status(const QString& port, const QString& text) override;
    void FileState(const QString& port, const QString& text) override;
    void Progress(const QString& port, const RunProgress& progress) override;
    void Message(const QString& port, const MessageBoxText& box) override;

    // The row of port's try is written (or said not to be): what it held back is shown.
    void RowWritten(const QString& port);

private:
    RunEvents& m_sink;
    const QString m_downloadedStatus;
    std::mutex m_mutex;
    std::set<QString> m_held; // ports whose downloaded status waits for their row
};
