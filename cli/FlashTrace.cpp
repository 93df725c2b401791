#include "FlashTrace.h"

namespace {
constexpr size_t kReplyLength = 2;
}

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

void FlashTraceLog::Write(const QString& port, const char* direction, const uint8_t* bytes,
                          size_t count)
{
    QByteArray line = QByteArray::number(m_clock.elapsed()).rightJustified(8) + " ms " +
                      port.toUtf8() + ' ' + direction;
    for (size_t i = 0; i < count; ++i)
        line += ' ' + QByteArray::number(bytes[i], 16).rightJustified(2, '0').toUpper();
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
    FlushReceived();
}

void TracingSerialPort::Close()
{
    FlushReceived();
    m_port.Close();
}

void TracingSerialPort::DiscardInput()
{
    FlushReceived();
    std::vector<uint8_t> discarded;
    while (m_port.IsOpen() && m_port.InBufferCount() > 0)
        discarded.push_back(m_port.Input());
    if (!discarded.empty())
        m_log.Write(m_port.PortName(), "RX discarded", discarded.data(), discarded.size());
    m_port.DiscardInput();
}

uint8_t TracingSerialPort::Input()
{
    const uint8_t byte = m_port.Input();
    m_received.push_back(byte);
    if (m_received.size() >= kReplyLength)
        FlushReceived();
    return byte;
}

void TracingSerialPort::Output(const uint8_t* bytes, int count)
{
    FlushReceived();
    m_log.Write(m_port.PortName(), "TX", bytes, static_cast<size_t>(count));
    m_port.Output(bytes, count);
}

void TracingSerialPort::FlushReceived()
{
    if (m_received.empty())
        return;
    m_log.Write(m_port.PortName(), "RX", m_received.data(), m_received.size());
    m_received.clear();
}
