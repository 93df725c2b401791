#pragma once

#include "Host.h"
#include "SerialPort.h"

#include <QString>

#include <cstdint>
#include <functional>

// Everything sent to the device and every reply read from it: plain command strings,
// CRC-closed packets, and fixed-length replies with a time-out that starts afresh per byte.
class SerialTransport
{
public:
    using StatusSink = std::function<void(const QString&)>;

    SerialTransport(SerialPort& port, Host& host, StatusSink showStatus = {});

    // Discards waiting input, optionally shows "Tx string: " + ComStr, then sends the
    // characters of ComStr one write each. Nothing is appended.
    void SerialSendString(const QString& ComStr, bool dDisplayStatus);

    // Discards waiting input, writes the CRC-16 of bytes 1..n-3 into bytes n-2 (high) and
    // n-1 (low) of bytBuff, and sends all n bytes in one write.
    void SerialSendPacket(uint8_t* bytBuff, int32_t n);

    // Collects numOfBytes bytes into bytBuff, waiting at most timeout ms for each byte.
    // True when all arrived; false when the wait for a byte ran out (or the line is lost).
    bool SerialGetResponseBytes(int32_t timeout, int32_t numOfBytes, uint8_t* bytBuff);

    // True when the port is closed or its device went away: no reply can come any more.
    bool LineLost() const;

    Host& GetHost() { return m_host; }

private:
    // Returns once a byte is waiting, the time-out has run out, or the line is lost.
    void WaitForData(int32_t timeout);

    SerialPort& m_port;
    Host& m_host;
    StatusSink m_showStatus;
};
