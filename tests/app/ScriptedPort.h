#pragma once

#include "SerialPort.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>

// A port without a device: names listed as openable open, every other name fails with the
// error kind given for it (NoSuchDevice when none is given). Writes are collected.
class ScriptedPort : public SerialPort
{
public:
    void SetPortName(const QString& name) override { m_name = name; }
    QString PortName() const override { return m_name; }

    bool Open() override;
    void Close() override { m_open = false; }
    bool IsOpen() const override { return m_open; }

    int16_t InBufferCount() override { return 0; }
    void DiscardInput() override {}
    uint8_t Input() override { return 0; }
    void Output(const uint8_t* bytes, int count) override
    {
        written.append(reinterpret_cast<const char*>(bytes), count);
    }

    SerialError Error() const override { return m_error; }
    QString ErrorText() const override { return m_errorText; }

    QHash<QString, SerialError> failures; // name -> why it does not open
    QStringList openable;
    QStringList opened; // every name opened, in order
    QByteArray written;

private:
    QString m_name;
    bool m_open = false;
    SerialError m_error = SerialError::None;
    QString m_errorText;
};
