#include "PortFailureText.h"

QString PortFailureDetail(SerialError error, const QString& systemText)
{
    QString reason;
    switch (error) {
    case SerialError::NoSuchDevice:
        reason = QStringLiteral("No device answers to this port. Check that the device is "
                                "plugged in and that the port is mapped to it.");
        break;
    case SerialError::PermissionDenied:
        reason = QStringLiteral("You are not allowed to open this port. On Linux, join the "
                                "'dialout' group (sudo usermod -aG dialout $USER), then log "
                                "out and in again.");
        break;
    case SerialError::Busy:
        reason = QStringLiteral("The port is in use by another program. Close that program "
                                "and try again.");
        break;
    case SerialError::LineLost:
        reason = QStringLiteral("The device went away while the port was open.");
        break;
    case SerialError::None:
    case SerialError::Other:
        break;
    }
    if (systemText.isEmpty())
        return reason;
    if (reason.isEmpty())
        return systemText;
    return reason + QStringLiteral("\n(") + systemText + QStringLiteral(")");
}
