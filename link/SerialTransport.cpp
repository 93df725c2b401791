#include "SerialTransport.h"

#include "Crc16.h"
#include "Deadline.h"

#include <QByteArray>

#include <utility>

SerialTransport::SerialTransport(SerialPort& port, Host& host, StatusSink showStatus)
    : m_port(port), m_host(host), m_showStatus(std::move(showStatus))
{
}

void SerialTransport::SerialSendString(const QString& ComStr, bool dDisplayStatus)
{
    m_port.DiscardInput();
    if (dDisplayStatus && m_showStatus)
        m_showStatus(QStringLiteral("Tx string: ") + ComStr);

    // The length is a 16-bit count: anything past 32,767 characters is not sent.
    const QByteArray bytes = ComStr.left(32767).toLatin1();
    for (const char character : bytes) {
        const auto byte = static_cast<uint8_t>(character);
        m_port.Output(&byte, 1);
    }
}

void SerialTransport::SerialSendPacket(uint8_t* bytBuff, int32_t n)
{
    m_port.DiscardInput();
    const int32_t upper = n - 1;
    const uint16_t crc = CalculateCrc(bytBuff, 1, upper - 2);
    bytBuff[upper - 1] = HiByte(crc);
    bytBuff[upper] = static_cast<uint8_t>(crc & 0xFF);
    m_port.Output(bytBuff, n);
}

bool SerialTransport::SerialGetResponseBytes(int32_t timeout, int32_t numOfBytes, uint8_t* bytBuff)
{
    for (int32_t i = 0; i < numOfBytes; ++i) {
        WaitForData(timeout);
        // The count is read again after the wait: a byte that came in just as the deadline
        // passed is still taken.
        if (LineLost() || m_port.InBufferCount() <= 0)
            return false;
        bytBuff[i] = m_port.Input();
    }
    return true;
}

bool SerialTransport::LineLost() const
{
    return !m_port.IsOpen() || m_port.Error() == SerialError::LineLost;
}

void SerialTransport::WaitForData(int32_t timeout)
{
    const Deadline deadline(m_host, timeout);
    // Pending events run at least once, also for a time-out of 0. Only then, and only while
    // nothing is waiting, the host may sleep until data (or any other event) arrives or the
    // deadline passes: sleeping with a byte already waiting would lose the whole time-out.
    m_host.ProcessEvents(0);
    while (!LineLost() && m_port.InBufferCount() == 0 && !deadline.Expired())
        m_host.ProcessEvents(deadline.Remaining());
}
