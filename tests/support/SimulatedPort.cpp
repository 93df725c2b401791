#include "SimulatedPort.h"

#include "PortNaming.h"

#include <algorithm>
#include <utility>

SimulatedPort::SimulatedPort(VirtualHost& host, VirtualDevice* device) : m_host(host)
{
    if (device)
        AttachDevice(*device);
}

void SimulatedPort::AttachDevice(VirtualDevice& device)
{
    m_device = &device;
    device.SetTransmitSink([this, alive = std::weak_ptr(m_alive)](const QByteArray& bytes) {
        if (!alive.expired())
            Inject(bytes);
    });
    device.SetLineClosedSink([this, alive = std::weak_ptr(m_alive)] {
        if (!alive.expired())
            PullCable();
    });
}

void SimulatedPort::SetPortName(const QString& name)
{
    m_name = name;
}

QString SimulatedPort::PortName() const
{
    return m_name;
}

bool SimulatedPort::Open()
{
    m_input.clear();
    if (m_nextOpenFailure != SerialError::None) {
        m_error = std::exchange(m_nextOpenFailure, SerialError::None);
        m_errorText = m_nextOpenFailureText;
        return false;
    }
    if (ComNumber(m_name) == 0 || m_gone) {
        m_error = SerialError::NoSuchDevice;
        m_errorText = QStringLiteral("No such file or directory");
        return false;
    }
    m_error = SerialError::None;
    m_errorText.clear();
    m_open = true;
    return true;
}

void SimulatedPort::Close()
{
    m_open = false;
    m_input.clear();
}

bool SimulatedPort::IsOpen() const
{
    return m_open;
}

int16_t SimulatedPort::InBufferCount()
{
    return static_cast<int16_t>(std::min<qsizetype>(m_input.size(), 32767));
}

void SimulatedPort::DiscardInput()
{
    m_input.clear();
}

uint8_t SimulatedPort::Input()
{
    if (m_input.isEmpty())
        return 0;
    const auto byte = static_cast<uint8_t>(m_input.front());
    m_input.remove(0, 1);
    return byte;
}

void SimulatedPort::Output(const uint8_t* bytes, int count)
{
    if (!m_open)
        return;
    m_writes.push_back({m_host.NowMs(), QByteArray(reinterpret_cast<const char*>(bytes), count)});
    if (m_device)
        m_device->Receive(bytes, count);
    if (m_writeObserver)
        m_writeObserver(m_writes.back().bytes);
}

void SimulatedPort::SetWriteObserver(std::function<void(const QByteArray&)> observer)
{
    m_writeObserver = std::move(observer);
}

SerialError SimulatedPort::Error() const
{
    return m_error;
}

QString SimulatedPort::ErrorText() const
{
    return m_errorText;
}

void SimulatedPort::FailNextOpen(SerialError kind, const QString& text)
{
    m_nextOpenFailure = kind;
    m_nextOpenFailureText = text;
}

void SimulatedPort::Inject(const QByteArray& bytes)
{
    if (m_open)
        m_input.append(bytes);
}

void SimulatedPort::PullCable()
{
    m_gone = true;
    if (!m_open)
        return;
    m_open = false;
    m_input.clear();
    m_error = SerialError::LineLost;
    m_errorText = QStringLiteral("The device was removed");
}

QByteArray SimulatedPort::Written() const
{
    QByteArray all;
    for (const Write& write : m_writes)
        all.append(write.bytes);
    return all;
}
