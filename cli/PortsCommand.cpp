// norvane-flash ports: which device each of COM1 to COM12 reaches, what the system says about
// it, and whether it can be opened now.
#include "Commands.h"

#include "PortNaming.h"
#include "QtSerialPort.h"

#include <QSerialPortInfo>

#include <cstdio>

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 12;

// The system's description of a device: its name, maker and USB identity where known.
QString Describe(const QString& device)
{
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.systemLocation() != device && info.portName() != device)
            continue;
        QStringList parts;
        if (!info.description().isEmpty())
            parts << info.description();
        if (!info.manufacturer().isEmpty())
            parts << info.manufacturer();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            parts << QStringLiteral("%1:%2")
                         .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                         .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        return parts.join(QStringLiteral(", "));
    }
    return {};
}

// Tries to open the port as a download would and says how that went.
QString Availability(const QString& comName)
{
    QtSerialPort port;
    port.SetPortName(comName);
    const bool opened = port.Open();
    port.Close();
    if (opened)
        return QStringLiteral("free");
    switch (port.Error()) {
    case SerialError::Busy:
        return QStringLiteral("in use");
    case SerialError::PermissionDenied:
        return QStringLiteral("no permission");
    case SerialError::NoSuchDevice:
        return QStringLiteral("no device");
    default:
        return QStringLiteral("unusable: ") + port.ErrorText();
    }
}

void PrintHelp()
{
    std::printf("Usage: norvane-flash ports\n\n"
                "Lists COM%d to COM%d: the device each reaches, whether it can be opened now, and\n"
                "the system's description of it. COMn is the n-th serial port the system reports\n"
                "(USB adapters first) unless the settings map it elsewhere, e.g. in\n"
                "~/.config/NorvaneProg.conf:\n\n"
                "  [Ports]\n  COM3=/dev/ttyUSB0\n",
                kFirstPort, kLastPort);
}

} // namespace

int RunPortsCommand(const QStringList& args)
{
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        PrintHelp();
        return kExitOk;
    }
    if (!args.isEmpty()) {
        std::fprintf(stderr, "norvane-flash ports: unexpected argument '%s'\n",
                     qPrintable(args.front()));
        return kExitUsage;
    }
    const QHash<QString, QString> overrides = PortOverrides();
    std::printf("%-6s %-36s %-14s %s\n", "Port", "Device", "Status", "Description");
    for (int number = kFirstPort; number <= kLastPort; ++number) {
        const QString comName = QStringLiteral("COM%1").arg(number);
        const QString device = ResolvePortName(comName);
        if (device.isEmpty()) {
            std::printf("%-6s %-36s %-14s\n", qPrintable(comName), "-", "no device");
            continue;
        }
        QString shownDevice = device;
        if (overrides.contains(comName))
            shownDevice += QStringLiteral(" (setting)");
        std::printf("%-6s %-36s %-14s %s\n", qPrintable(comName), qPrintable(shownDevice),
                    qPrintable(Availability(comName)), qPrintable(Describe(device)));
    }
    return kExitOk;
}
