#pragma once

#include <QString>

// The serial number of the USB adapter behind port (a device path or a link to one), where
// the system reports one; empty otherwise (a built-in port, a pseudo-terminal). Fast enough
// to ask for each port as it is plugged in: it reads the few files of that one device.
// sysRoot is where the system's device tree is mounted (/sys on Linux).
QString AdapterSerialNumber(const QString& port, const QString& sysRoot = QStringLiteral("/sys"));
