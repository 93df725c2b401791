#include "FlashTrace.h"

namespace {
constexpr size_t kReplyLength = 2;
const char* const kSent = "TX";
const char* const kReceived = "RX";
} // namespace

bool FlashTraceLog::Open(const QString& fileName, QString& error)
{
    m_file.setFileName(fileName);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        error = m_file.errorString();
        return false;
    }
    m_clock.start();
    return true;
}

void FlashTraceLog::Write(int64_t atMs, const QString& port, const char* direction,
                          const std::vector<uint8_t>& bytes)
{
    QByteArray line = QByteArray::number(static_cast<qint64>(atMs)).rightJustified(8) + " ms " +
                      port.toUtf8() + ' ' + direction;
    for (const uint8_t byte : bytes)
        line += ' ' + QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
    line += '\n';
    const std::lock_guard lock(m_mutex);
    m_file.write(line);
    m_file.flush();
}

TracingSerialPort::TracingSerialPort(SerialPort& port, FlashTraceLog& log)
    : m_port(port), m_log(log)
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
    if (m_received.bytes.size() >= kReplyLength)
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
        frame.atMs = m_log.Now();
    frame.bytes.insert(frame.bytes.end(), bytes, bytes + count);
}

void TracingSerialPort::Flush(Frame& frame, const char* direction)
{
    if (frame.bytes.empty())
        return;
    m_log.Write(frame.atMs, m_port.PortName(), direction, frame.bytes);
    frame.bytes.clear();
}

void TracingSerialPort::FlushAll()
{
    Flush(m_sent, kSent);
    Flush(m_received, kReceived);
}
