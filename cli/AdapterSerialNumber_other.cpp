#include "AdapterSerialNumber.h"

#include <QFileInfo>
#include <QSerialPortInfo>

QString AdapterSerialNumber(const QString& port, const QString&)
{
    const QString device = QFileInfo(port).canonicalFilePath();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.systemLocation() == device || info.portName() == port)
            return info.serialNumber();
    }
    return QString();
}
