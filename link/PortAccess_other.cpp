#include "PortAccess.h"

#include <QString>

// On Windows a COM port is exclusive by itself and the adapter's latency is a driver setting
// of the user's; on macOS the serial driver has no such switch. Nothing to do here.

void RequestLowLatency(QSerialPort&) {}

bool TakeExclusiveAccess(QSerialPort&)
{
    return true;
}

QString DevicePathOf(const QString& path)
{
    return path;
}

bool InDialoutGroup(const QString&)
{
    return false;
}

bool IsSerialDevice(const QString&)
{
    return true;
}

// Windows takes no lock file; where macOS does, the device's own answer is kept.
PortLock ProbePortLock(const QString&)
{
    return PortLock::Free;
}
