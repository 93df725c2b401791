// The USB facts of a serial device from the system's device tree: a few small files of that
// one device, fast enough to read as each download starts.
#include "StationFacts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

// From a tty's device up to its USB device: the port, the interface, the device itself.
constexpr int kLevelsUp = 3;

QString Attribute(const QDir& device, const char* name)
{
    QFile file(device.filePath(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll()).trimmed();
}

} // namespace

UsbAdapterFacts UsbAdapterOf(const QString& devicePath, const QString& sysRoot)
{
    UsbAdapterFacts facts;
    const QString device = QFileInfo(devicePath).canonicalFilePath();
    if (device.isEmpty())
        return facts;
    const QString tty = QFileInfo(sysRoot + QStringLiteral("/class/tty/") +
                                  QFileInfo(device).fileName() + QStringLiteral("/device"))
                            .canonicalFilePath();
    if (tty.isEmpty())
        return facts; // a pseudo-terminal: no device behind it
    QDir dir(tty);
    for (int level = 0; level <= kLevelsUp; ++level) {
        if (dir.exists(QStringLiteral("idVendor"))) {
            facts.vendorId = Attribute(dir, "idVendor");
            facts.productId = Attribute(dir, "idProduct");
            facts.serialNumber = Attribute(dir, "serial");
            QStringList words{Attribute(dir, "manufacturer"), Attribute(dir, "product")};
            words.removeAll(QString());
            facts.description = words.join(QLatin1Char(' '));
            break;
        }
        if (!dir.cdUp())
            break;
    }
    return facts;
}
