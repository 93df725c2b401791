#include "TracingSerialPort.h"

#include "Protocol.h"

namespace {
const char* const kSent = "TX";
const char* const kReceived = "RX";
} // namespace

TracingSerialPort::TracingSerialPort(SerialPort& port, TraceSink& sink) : m_port(port), m_sink(sink)
{
}

TracingSerialPort::~TracingSerialPort()
{
    FlushAll();
}

void TracingSerialPort::Close()
{
    FlushAll();
    m_port.Close();
}

int16_t TracingSerialPort::InBufferCount()
{
    Flush(m_sent, kSent);
    return m_port.InBufferCount();
}

void TracingSerialPort::DiscardInput()
{
    FlushAll();
    Frame discarded;
    while (m_port.IsOpen() && m_port.InBufferCount() > 0) {
        const uint8_t byte = m_port.Input();
        Add(discarded, &byte, 1);
    }
    Flush(discarded, "RX discarded");
    m_port.DiscardInput();
}

uint8_t TracingSerialPort::Input()
{
    Flush(m_sent, kSent);
    const uint8_t byte = m_port.Input();
    Add(m_received, &byte, 1);
    if (m_received.bytes.size() >= static_cast<size_t>(kReplyLength))
        Flush(m_received, kReceived);
    return byte;
}

void TracingSerialPort::Output(const uint8_t* bytes, int count)
{
    Flush(m_received, kReceived);
    Add(m_sent, bytes, static_cast<size_t>(count));
    m_port.Output(bytes, count);
}

void TracingSerialPort::Add(Frame& frame, const uint8_t* bytes, size_t count)
{
    if (frame.bytes.empty())
        frame.atMs = m_sink.Now();
    frame.bytes.insert(frame.bytes.end(), bytes, bytes + count);
}

void TracingSerialPort::Flush(Frame& frame, const char* direction)
{
    if (frame.bytes.empty())
        return;
    m_sink.Write(frame.atMs, m_port.PortName(), direction, frame.bytes);
    frame.bytes.clear();
}

void TracingSerialPort::FlushAll()
{
    Flush(m_sent, kSent);
    Flush(m_received, kReceived);
}
