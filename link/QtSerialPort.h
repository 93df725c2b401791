#pragma once

#include "SerialPort.h"

#include <QSerialPort>

// The serial port on QSerialPort: 19200 baud, 8 data bits, no parity, 1 stop bit, no flow
// control, raw bytes. Received data is found by polling the waiting count after the host has
// dispatched events; no signal of this class is needed by its users.
class QtSerialPort : public SerialPort
{
public:
    QtSerialPort();
    ~QtSerialPort() override;

    void SetPortName(const QString& name) override;
    QString PortName() const override;

    bool Open() override;
    void Close() override;
    bool IsOpen() const override;

    int16_t InBufferCount() override;
    void DiscardInput() override;
    uint8_t Input() override;
    void Output(const uint8_t* bytes, int count) override;

    SerialError Error() const override;
    QString ErrorText() const override;

private:
    bool Fail(SerialError kind, const QString& text);
    void OnPortError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    QString m_name = QStringLiteral("COM1");
    SerialError m_error = SerialError::None;
    QString m_errorText;
};
