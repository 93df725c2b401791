#pragma once

#include "SerialPort.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <cstdint>
#include <mutex>
#include <vector>

// The trace file of a flash command, shared by every port: one line per frame,
//   "   1234 ms /dev/ttyUSB0 TX 7E 04 02 00 A1 40"
// with the milliseconds since the command started.
class FlashTraceLog
{
public:
    // False with the system's words in error when the file cannot be written.
    bool Open(const QString& fileName, QString& error);
    void Write(const QString& port, const char* direction, const uint8_t* bytes, size_t count);

private:
    std::mutex m_mutex;
    QFile m_file;
    QElapsedTimer m_clock;
};

// A port that writes every byte sent and received to the trace. Received bytes are written
// as two-byte frames (every reply is two bytes), and bytes that a send discards unread are
// written too, so a trace shows late and stray replies.
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
    int16_t InBufferCount() override { return m_port.InBufferCount(); }
    void DiscardInput() override;
    uint8_t Input() override;
    void Output(const uint8_t* bytes, int count) override;
    SerialError Error() const override { return m_port.Error(); }
    QString ErrorText() const override { return m_port.ErrorText(); }

private:
    void FlushReceived();

    SerialPort& m_port;
    FlashTraceLog& m_log;
    std::vector<uint8_t> m_received;
};
