#pragma once

#include "SerialPort.h"
#include "VirtualDevice.h"
#include "VirtualHost.h"

#include <QByteArray>

#include <functional>
#include <memory>
#include <vector>

// A serial port for tests that reaches a VirtualDevice in the same process, in virtual time.
// What the host writes goes to the device at once (or paced, as the device's timing says);
// what the device sends waits here until the host reads it. When the device closes the line,
// the port behaves as the real one does when its adapter is pulled: Error() is LineLost, the
// port is closed, and it cannot be opened again.
//
// Without a device it is a plain loopback-free port: tests put bytes in with Inject().
class SimulatedPort : public SerialPort
{
public:
    explicit SimulatedPort(VirtualHost& host, VirtualDevice* device = nullptr);

    void AttachDevice(VirtualDevice& device);

    void SetPortName(const QString& name) override;
    QString PortName() const override;

    // "COM0" and names with nothing attached fail with NoSuchDevice, like the real port.
    bool Open() override;
    void Close() override;
    bool IsOpen() const override;

    int16_t InBufferCount() override;
    void DiscardInput() override;
    uint8_t Input() override;
    void Output(const uint8_t* bytes, int count) override;

    SerialError Error() const override;
    QString ErrorText() const override;

    // Test controls.
    void FailNextOpen(SerialError kind, const QString& text); // the next Open fails so
    void Inject(const QByteArray& bytes);                     // bytes arrive from the line
    void PullCable();                                         // the device goes away
    // Called after every Output with the bytes written (a scripted device for tests).
    void SetWriteObserver(std::function<void(const QByteArray&)> observer);

    // Every Output call, in order, with the virtual time it happened at.
    struct Write
    {
        int64_t timeMs;
        QByteArray bytes;
    };
    const std::vector<Write>& Writes() const { return m_writes; }
    // All bytes written, joined.
    QByteArray Written() const;

private:
    VirtualHost& m_host;
    VirtualDevice* m_device = nullptr;
    QString m_name = QStringLiteral("COM1");
    bool m_open = false;
    bool m_gone = false;
    QByteArray m_input;
    SerialError m_error = SerialError::None;
    QString m_errorText;
    SerialError m_nextOpenFailure = SerialError::None;
    QString m_nextOpenFailureText;
    std::vector<Write> m_writes;
    std::function<void(const QByteArray&)> m_writeObserver;
    // Gone with the port: a device that outlives it (a late reply of a try that has ended)
    // then sends into nothing.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
