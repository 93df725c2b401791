// The USB facts of a serial device as Qt reports them for the system's serial ports.
#include "StationFacts.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>

UsbAdapterFacts UsbAdapterOf(const QString& devicePath, const QString&)
{
    const QFileInfo info(devicePath);
    const QString device = info.isSymLink() ? info.canonicalFilePath() : devicePath;
    UsbAdapterFacts facts;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        if (port.systemLocation() != device && port.portName() != device)
            continue;
        const auto hex = [](quint16 id) {
            return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
        };
        if (port.hasVendorIdentifier())
            facts.vendorId = hex(port.vendorIdentifier());
        if (port.hasProductIdentifier())
            facts.productId = hex(port.productIdentifier());
        facts.serialNumber = port.serialNumber();
        QStringList words{port.manufacturer(), port.description()};
        words.removeAll(QString());
        facts.description = words.join(QLatin1Char(' '));
        break;
    }
    return facts;
}
