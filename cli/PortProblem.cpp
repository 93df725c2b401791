#include "PortProblem.h"

#include "PortNaming.h"

#include <QStringList>

namespace {

QString PresentPorts()
{
    QStringList names;
    int number = 1;
    for (const QSerialPortInfo& info : OrderedSystemPorts())
        names << QStringLiteral("%1 (COM%2)").arg(info.systemLocation()).arg(number++);
    if (names.isEmpty())
        return QStringLiteral("no serial ports are present");
    return QStringLiteral("ports present: ") + names.join(QStringLiteral(", "));
}

} // namespace

QString PortProblemWord(SerialError error)
{
    switch (error) {
    case SerialError::NoSuchDevice:
        return QStringLiteral("no-device");
    case SerialError::PermissionDenied:
        return QStringLiteral("no-permission");
    case SerialError::Busy:
        return QStringLiteral("busy");
    case SerialError::LineLost:
    case SerialError::Other:
    case SerialError::None:
        break;
    }
    return QStringLiteral("unusable");
}

QString PortProblemText(const SerialPort& port)
{
    switch (port.Error()) {
    case SerialError::NoSuchDevice:
        return QStringLiteral("no such device; %1").arg(PresentPorts());
    case SerialError::PermissionDenied:
        return QStringLiteral("permission denied; add your user to the 'dialout' group "
                              "(sudo usermod -aG dialout $USER), then log out and in again");
    case SerialError::Busy:
        return QStringLiteral("the port is busy: another program holds it (often "
                              "ModemManager; close that program or stop it with "
                              "'sudo systemctl stop ModemManager')");
    case SerialError::LineLost:
    case SerialError::Other:
    case SerialError::None:
        break;
    }
    const QString reason = port.ErrorText();
    return reason.isEmpty() ? QStringLiteral("cannot be opened")
                            : QStringLiteral("cannot be opened: ") + reason;
}
