#pragma once

#include "OutputQueue.h"
#include "SerialPort.h"

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
class FlashTraceLog
{
public:
    ~FlashTraceLog();

    // Whether fileName may take the trace: not the firmware file and not one of the ports,
    // under any of their names (links included). False with the reason in error.
    static bool MayTrace(const QString& fileName, const QString& firmwareFile,
                         const QStringList& ports, QString& error);
    // False with the system's words in error when the file cannot be written. A FIFO that
    // no program reads is refused rather than waited for.
    bool Open(const QString& fileName, QString& error);
    // Writes what is queued and closes the file; false when any of the trace was lost.
    bool Close();

    // Milliseconds since the trace was opened.
    int64_t Now() const { return m_clock.elapsed(); }
    void Write(int64_t atMs, const QString& port, const char* direction,
               const std::vector<uint8_t>& bytes);

private:
    std::FILE* m_file = nullptr;
    OutputQueue m_queue;
    QElapsedTimer m_clock;
};

// A port that writes every byte sent and received to the trace. Bytes written one after the
// other (a command string goes out a character at a time) make one frame until the port is
// read or cleared; received bytes are written as two-byte frames (every reply is two bytes);
// bytes that a send discards unread are written too, so a trace shows late and stray replies.
class TracingSerialPort : public SerialPort
{
public:
    TracingSerialPort(SerialPort& port, FlashTraceLog& log);
    ~TracingSerialPort() override;

    void SetPortName(const QString& name) override { m_port.SetPortName(name); }
    QString PortName() const override { return m_port.PortName(); }
    bool Open() override { return m_port.Open(); }
    void Close() override;
    bool IsOpen() const override { return m_port.IsOpen(); }
    int16_t InBufferCount() override;
    void DiscardInput() override;
    uint8_t Input() override;
    void Output(const uint8_t* bytes, int count) override;
    SerialError Error() const override { return m_port.Error(); }
    QString ErrorText() const override { return m_port.ErrorText(); }

private:
    // Bytes on their way into the trace, with the time of the first of them.
    struct Frame
    {
        int64_t atMs = 0;
        std::vector<uint8_t> bytes;
    };
    void Add(Frame& frame, const uint8_t* bytes, size_t count);
    void Flush(Frame& frame, const char* direction);
    void FlushAll();

    SerialPort& m_port;
    FlashTraceLog& m_log;
    Frame m_sent;
    Frame m_received;
};
