#pragma once

#include "OutputQueue.h"
#include "TracingSerialPort.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <vector>

// The trace file of a flash command, shared by every port: one line per frame,
//   "   1234 ms /dev/ttyUSB0 TX 7E 04 02 00 A1 40"
// with the milliseconds since the trace was opened. Lines are written on a thread of their
// own: a slow or full trace never holds up a download.
class FlashTraceLog : public TraceSink
{
public:
    ~FlashTraceLog() override;

    // Whether fileName may take the trace: not the record, not the firmware file and not one
    // of the ports, under any of their names (links included). False with the reason in error.
    static bool MayTrace(const QString& fileName, const QString& firmwareFile,
                         const QStringList& ports, const QString& recordFile, QString& error);
    // False with the system's words in error when the file cannot be written. A FIFO that
    // no program reads is refused rather than waited for.
    bool Open(const QString& fileName, QString& error);
    // Writes what is queued and closes the file; false when any of the trace was lost.
    bool Close();

    // Milliseconds since the trace was opened.
    int64_t Now() const override { return m_clock.elapsed(); }
    void Write(int64_t atMs, const QString& port, const char* direction,
               const std::vector<uint8_t>& bytes) override;

private:
    std::FILE* m_file = nullptr;
    OutputQueue m_queue;
    QElapsedTimer m_clock;
};
