#pragma once

#include "SerialPort.h"

#include <cstdint>

// A serial port that passes everything on to another and counts the bytes that went over the
// line each way, for the record of a download. Bytes thrown away unread count as received.
class CountingSerialPort : public SerialPort
{
public:
    explicit CountingSerialPort(SerialPort& port) : m_port(port) {}

    void SetPortName(const QString& name) override { m_port.SetPortName(name); }
    QString PortName() const override { return m_port.PortName(); }
    bool Open() override { return m_port.Open(); }
    void Close() override { m_port.Close(); }
    bool IsOpen() const override { return m_port.IsOpen(); }
    int16_t InBufferCount() override { return m_port.InBufferCount(); }
    void DiscardInput() override
    {
        m_received += m_port.InBufferCount();
        m_port.DiscardInput();
    }
    uint8_t Input() override
    {
        ++m_received;
        return m_port.Input();
    }
    void Output(const uint8_t* bytes, int count) override
    {
        m_sent += count;
        m_port.Output(bytes, count);
    }
    SerialError Error() const override { return m_port.Error(); }
    QString ErrorText() const override { return m_port.ErrorText(); }

    int64_t BytesSent() const { return m_sent; }
    int64_t BytesReceived() const { return m_received; }

private:
    SerialPort& m_port;
    int64_t m_sent = 0;
    int64_t m_received = 0;
};
