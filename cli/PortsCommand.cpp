// norvane-flash ports: which device each of COM1 to COM12 reaches, what the system says about
// it, and whether it can be opened now.
#include "Commands.h"

#include "CompactJson.h"
#include "PortNaming.h"
#include "QtSerialPort.h"
#include "SharedOptions.h"
#include "VisibleText.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSerialPortInfo>

#include <cstdio>

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 12;
constexpr int kStatusWidth = 17; // "not-a-serial-port", the longest status

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

// What keeps a port from being opened, as a port's state rather than a run's reason.
QString StatusWord(SerialError error)
{
    switch (error) {
    case SerialError::NoSuchDevice:
        return QStringLiteral("no-device");
    case SerialError::PermissionDenied:
    case SerialError::NotInDialoutGroup:
        return QStringLiteral("no-permission");
    case SerialError::Busy:
        return QStringLiteral("busy");
    case SerialError::NotASerialPort:
        return QStringLiteral("not-a-serial-port");
    case SerialError::LineLost:
    case SerialError::Other:
    case SerialError::None:
        break;
    }
    return QStringLiteral("unusable");
}

// Tries to open the port as a download would: "free", or the word of its problem.
QString Availability(const QString& comName)
{
    QtSerialPort port;
    port.SetPortName(comName);
    const bool opened = port.Open();
    port.Close();
    return opened ? QStringLiteral("free") : StatusWord(port.Error());
}

void PrintHelp()
{
    std::printf("Usage: norvane-flash ports [--json]\n\n"
                "Lists COM%d to COM%d: the device each reaches, whether it can be opened now\n"
                "(free, busy, no-permission, no-device, not-a-serial-port or unusable), and\n"
                "the system's description of it. COMn is the n-th serial port the system\n"
                "reports (USB adapters first) unless the settings map it elsewhere, e.g. in\n"
                "~/.config/NorvaneProg.conf:\n\n"
                "  [Ports]\n  COM3=/dev/ttyUSB0\n\n"
                "Options:\n"
                "  --json     one JSON object per port and line, with the keys port, device\n"
                "             (null when none), setting (true when the settings map it),\n"
                "             status and description\n"
                "  -h, --help show this help\n",
                kFirstPort, kLastPort);
}

} // namespace

const OptionTable kPortsOptionTable{.options = {&kJsonOption, &kHelpOption},
                                    .operands = false,
                                    .unknown = "unexpected argument '%1'"};

int RunPortsCommand(const QStringList& args)
{
    ParsedOptions parsed;
    QString error;
    if (!ParseOptions(args, kPortsOptionTable, parsed, error))
        return UsageError("ports", error);
    if (parsed.Has(kHelpOption)) {
        PrintHelp();
        return static_cast<int>(ExitCode::Ok);
    }
    const bool json = parsed.Has(kJsonOption);
    const QHash<QString, QString> overrides = PortOverrides();
    if (!json)
        std::printf("%-6s %-36s %-*s %s\n", "Port", "Device", kStatusWidth, "Status",
                    "Description");
    for (int number = kFirstPort; number <= kLastPort; ++number) {
        const QString comName = QStringLiteral("COM%1").arg(number);
        const QString device = ResolvePortName(comName);
        const bool setting = overrides.contains(comName);
        const QString status =
            device.isEmpty() ? QStringLiteral("no-device") : Availability(comName);
        const QString description = device.isEmpty() ? QString() : Describe(device);
        if (json) {
            const QJsonObject port{
                {QStringLiteral("port"), comName},
                {QStringLiteral("device"), device.isEmpty() ? QJsonValue() : QJsonValue(device)},
                {QStringLiteral("setting"), setting},
                {QStringLiteral("status"), status},
                {QStringLiteral("description"), description}};
            std::printf("%s\n", CompactJson(QJsonDocument(port)).constData());
        } else {
            const QString shown = device.isEmpty() ? QStringLiteral("-")
                                  : setting        ? device + QStringLiteral(" (setting)")
                                                   : device;
            std::printf("%-6s %-36s %-*s %s\n", qPrintable(comName), qPrintable(VisibleText(shown)),
                        kStatusWidth, qPrintable(status), qPrintable(VisibleText(description)));
        }
    }
    return static_cast<int>(ExitCode::Ok);
}
