#pragma once

#include "SerialPort.h"

#include <QString>

#include <cstdint>
#include <vector>

// Where a tracing port writes its frames: the trace file of norvane-flash, or a test.
class TraceSink
{
public:
    virtual ~TraceSink() = default;

    // Milliseconds since the trace began.
    virtual int64_t Now() const = 0;
    // One frame: "TX", "RX" or "RX discarded" with its bytes, at the time of its first byte.
    virtual void Write(int64_t atMs, const QString& port, const char* direction,
                       const std::vector<uint8_t>& bytes) = 0;
};

// A port that writes every byte sent and received to a trace. Bytes written one after the
// other (a command string goes out a character at a time) make one frame until the port is
// read or cleared; received bytes are written as two-byte frames (every reply is two bytes);
// bytes that a send discards unread are written too, so a trace shows late and stray replies.
class TracingSerialPort : public SerialPort
{
public:
    TracingSerialPort(SerialPort& port, TraceSink& sink);
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
    TraceSink& m_sink;
    Frame m_sent;
    Frame m_received;
};
