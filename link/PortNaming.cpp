#include "PortNaming.h"

#include <QRegularExpression>
#include <QSettings>

#include <algorithm>

namespace {

// Splits "ttyUSB10" into "ttyUSB" and 10; a name without a trailing number gets -1.
std::pair<QString, qlonglong> SplitTrailingNumber(const QString& name)
{
    qsizetype digitsStart = name.size();
    while (digitsStart > 0 && name.at(digitsStart - 1).isDigit())
        --digitsStart;
    if (digitsStart == name.size())
        return {name, -1};
    return {name.left(digitsStart), name.mid(digitsStart).toLongLong()};
}

bool IsUsbPort(const QSerialPortInfo& info)
{
    const QString name = info.portName();
    return info.hasVendorIdentifier() || name.startsWith(QLatin1String("ttyUSB")) ||
           name.startsWith(QLatin1String("ttyACM")) || name.contains(QLatin1String("usb"));
}

} // namespace

int ComNumber(const QString& name)
{
    static const QRegularExpression comPattern(QStringLiteral("^COM(\\d{1,5})$"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = comPattern.match(name.trimmed());
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString ResolvePortName(const QString& name, const QHash<QString, QString>& overrides,
                        const QStringList& systemDevices)
{
    const int number = ComNumber(name);
    if (number < 0)
        return name;
    if (number == 0)
        return {};
    const QString overridden = overrides.value(QStringLiteral("COM%1").arg(number));
    if (!overridden.isEmpty())
        return overridden;
    return number <= systemDevices.size() ? systemDevices.at(number - 1) : QString();
}

QString ResolvePortName(const QString& name)
{
    const int number = ComNumber(name);
    if (number <= 0)
        return number == 0 ? QString() : name;
    const QString overridden = PortOverrides().value(QStringLiteral("COM%1").arg(number));
    return overridden.isEmpty() ? SystemDeviceForComNumber(number) : overridden;
}

QHash<QString, QString> PortOverrides()
{
    QSettings settings(QStringLiteral("NorvaneProg"));
    settings.beginGroup(QStringLiteral("Ports"));
    QHash<QString, QString> overrides;
    for (const QString& key : settings.childKeys()) {
        if (ComNumber(key) > 0)
            overrides.insert(key.trimmed().toUpper(), settings.value(key).toString().trimmed());
    }
    return overrides;
}

bool PortOrderLess(bool aIsUsb, const QString& aName, bool bIsUsb, const QString& bName)
{
    if (aIsUsb != bIsUsb)
        return aIsUsb;
    const auto [aStem, aNumber] = SplitTrailingNumber(aName);
    const auto [bStem, bNumber] = SplitTrailingNumber(bName);
    if (aStem != bStem)
        return aStem < bStem;
    return aNumber < bNumber;
}

QList<QSerialPortInfo> OrderedSystemPorts()
{
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    std::sort(ports.begin(), ports.end(), [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
        return PortOrderLess(IsUsbPort(a), a.portName(), IsUsbPort(b), b.portName());
    });
    return ports;
}
