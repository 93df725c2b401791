#include "AdapterSerialNumber.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// From a tty's device up to its USB device: the port, the interface, the device itself.
constexpr int kLevelsUp = 3;
} // namespace

QString AdapterSerialNumber(const QString& port, const QString& sysRoot)
{
    const QString device = QFileInfo(port).canonicalFilePath();
    if (device.isEmpty())
        return QString();
    const QString tty = QFileInfo(sysRoot + QStringLiteral("/class/tty/") +
                                  QFileInfo(device).fileName() + QStringLiteral("/device"))
                            .canonicalFilePath();
    if (tty.isEmpty())
        return QString();
    // The USB device is the first folder up from the tty's device that has a vendor id.
    QDir dir(tty);
    for (int level = 0; level <= kLevelsUp; ++level) {
        if (dir.exists(QStringLiteral("idVendor"))) {
            QFile serial(dir.filePath(QStringLiteral("serial")));
            if (!serial.open(QIODevice::ReadOnly))
                return QString();
            return QString::fromUtf8(serial.readAll()).trimmed();
        }
        if (!dir.cdUp())
            break;
    }
    return QString();
}
