#include "StationFacts.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>
#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

QString StationHostName()
{
    return QSysInfo::machineHostName();
}

QString StationUserName()
{
#ifdef Q_OS_UNIX
    // The account itself, also where no login set USER (a service, a container).
    if (const passwd* account = getpwuid(geteuid()))
        return QString::fromLocal8Bit(account->pw_name);
#endif
    return qEnvironmentVariable("USERNAME", qEnvironmentVariable("USER"));
}

UsbAdapterFacts UsbAdapterOf(const QString& devicePath)
{
    // A link under /dev/serial/by-id names the same port as the device it points at.
    const QFileInfo info(devicePath);
    const QString device = info.isSymLink() ? info.canonicalFilePath() : devicePath;
    UsbAdapterFacts facts;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& port : ports) {
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

QString FileSha256(const QString& fileName)
{
    // Only a regular file: reading a FIFO or a device named as firmware would never end.
    if (!QFileInfo(fileName).isFile())
        return QString();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return QString();
    return QString::fromLatin1(hash.result().toHex());
}
