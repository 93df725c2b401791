#include "QtSerialPort.h"

#include "PortAccess.h"
#include "PortNaming.h"
#include "Protocol.h"

#include <QFileInfo>
#include <QTimer>

#include <algorithm>

namespace {
constexpr qint64 kReceiveBufferSize = 1024;
}

QtSerialPort::QtSerialPort()
{
    m_port.setBaudRate(kLineBaud);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    // A receive buffer of 1,024 bytes: more waiting bytes stay with the system's driver until
    // these are read. The transmit side has no size to set: QSerialPort buffers what it is
    // given without a limit, and the packets written are far below 512 bytes.
    m_port.setReadBufferSize(kReceiveBufferSize);
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError error) { OnPortError(error); });
}

QtSerialPort::~QtSerialPort()
{
    Close();
}

void QtSerialPort::SetPortName(const QString& name)
{
    m_name = name;
}

QString QtSerialPort::PortName() const
{
    return m_name;
}

bool QtSerialPort::Open()
{
    if (m_port.isOpen())
        Close();
    m_error = SerialError::None;
    m_errorText.clear();

    const QString resolved = ResolvePortName(m_name);
    if (resolved.isEmpty())
        return Fail(SerialError::NoSuchDevice,
                    QStringLiteral("%1 reaches no serial device").arg(m_name));
    const QString devicePath = DevicePathOf(resolved);

    m_port.setPortName(devicePath);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = m_port.error();
        const QString text = m_port.errorString();
        m_port.clearError();
        switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return Fail(SerialError::NoSuchDevice, text);
        case QSerialPort::PermissionError:
            // The system reports a held port, a forbidden one and a lock file it may not make
            // alike; the file's access rights, its group and a try at the lock tell them apart.
            if (!QFileInfo(devicePath).isWritable())
                return Fail(InDialoutGroup(devicePath) ? SerialError::NotInDialoutGroup
                                                       : SerialError::PermissionDenied,
                            text);
            switch (ProbePortLock(devicePath)) {
            case PortLock::HeldByAnotherProgram:
                return Fail(SerialError::Busy,
                            QStringLiteral("%1 is locked by another program").arg(devicePath));
            case PortLock::CannotBeMade:
                return Fail(SerialError::Other, text);
            case PortLock::Free:
                break;
            }
            return Fail(SerialError::Busy, text);
        default:
            return Fail(IsSerialDevice(devicePath) ? SerialError::Other
                                                   : SerialError::NotASerialPort,
                        text);
        }
    }
    if (!TakeExclusiveAccess(m_port)) {
        m_port.close();
        return Fail(SerialError::Busy,
                    QStringLiteral("%1 is in use by another program").arg(devicePath));
    }
    RequestLowLatency(m_port);
    return true;
}

void QtSerialPort::Close()
{
    if (m_port.isOpen())
        m_port.close();
}

bool QtSerialPort::IsOpen() const
{
    return m_port.isOpen() && m_error != SerialError::LineLost;
}

int16_t QtSerialPort::InBufferCount()
{
    if (!IsOpen())
        return 0;
    return static_cast<int16_t>(std::min<qint64>(m_port.bytesAvailable(), 32767));
}

void QtSerialPort::DiscardInput()
{
    if (IsOpen())
        m_port.clear(QSerialPort::Input);
}

uint8_t QtSerialPort::Input()
{
    char byte = 0;
    m_port.getChar(&byte);
    return static_cast<uint8_t>(byte);
}

void QtSerialPort::Output(const uint8_t* bytes, int count)
{
    if (!IsOpen())
        return;
    m_port.write(reinterpret_cast<const char*>(bytes), count);
    // Hands the bytes to the driver now rather than at the next event dispatch.
    m_port.flush();
}

SerialError QtSerialPort::Error() const
{
    return m_error;
}

QString QtSerialPort::ErrorText() const
{
    return m_errorText;
}

bool QtSerialPort::Fail(SerialError kind, const QString& text)
{
    m_error = kind;
    m_errorText = text;
    return false;
}

void QtSerialPort::OnPortError(QSerialPort::SerialPortError error)
{
    // A vanished device (adapter unplugged, the other end of a pseudo-terminal gone) shows as
    // a resource error, on some drivers as a failing read. The port is closed once control is
    // back in the event loop, not inside QSerialPort's own notification.
    const bool lineGone = error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
    if (!lineGone || !m_port.isOpen())
        return;
    Fail(SerialError::LineLost, m_port.errorString());
    QTimer::singleShot(0, &m_port, [this] { m_port.close(); });
}
