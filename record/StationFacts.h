#pragma once

#include <QString>

// What the system tells about the station a download runs on and the things it uses.

// This machine's host name.
QString StationHostName();

// The user the program runs as.
QString StationUserName();

// The USB facts of the adapter behind a serial device (a path such as /dev/ttyUSB0 or a
// link to it under /dev/serial/by-id). Empty fields where the system reports nothing, as for
// a pseudo-terminal or a built-in port.
struct UsbAdapterFacts
{
    QString vendorId;  // four lower-case hex digits
    QString productId; // four lower-case hex digits
    QString serialNumber;
    QString description; // maker and product name
};
// sysRoot is where the system's device tree is mounted (/sys on Linux; tests build one in a
// folder).
UsbAdapterFacts UsbAdapterOf(const QString& devicePath,
                             const QString& sysRoot = QStringLiteral("/sys"));
