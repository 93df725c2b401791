#include "SerialErrorText.h"

QString SerialErrorWord(SerialError error)
{
    switch (error) {
    case SerialError::NoSuchDevice:
        return QStringLiteral("no-device");
    case SerialError::PermissionDenied:
        return QStringLiteral("no-permission");
    case SerialError::Busy:
        return QStringLiteral("busy");
    case SerialError::LineLost:
        return QStringLiteral("disconnected");
    case SerialError::NotASerialPort:
        return QStringLiteral("not-a-serial-port");
    case SerialError::Other:
    case SerialError::None:
        break;
    }
    return QStringLiteral("unusable");
}

QString SerialErrorText(SerialError error)
{
    switch (error) {
    case SerialError::NoSuchDevice:
        return QStringLiteral("No device answers to this port (no such device). Check that the "
                              "device is plugged in and that the port is mapped to it.");
    case SerialError::PermissionDenied:
        return QStringLiteral("You are not allowed to open this port. On Linux, join the "
                              "'dialout' group (sudo usermod -aG dialout $USER), then log "
                              "out and in again.");
    case SerialError::Busy:
        return QStringLiteral("The port is in use by another program (on Linux often "
                              "ModemManager: 'sudo systemctl stop ModemManager'). Close that "
                              "program and try again.");
    case SerialError::LineLost:
        return QStringLiteral("The device or adapter was disconnected.");
    case SerialError::NotASerialPort:
        return QStringLiteral("This is not a serial port.");
    case SerialError::Other:
    case SerialError::None:
        break;
    }
    return QString();
}

bool SystemTextHelps(SerialError error)
{
    return error != SerialError::LineLost && error != SerialError::NotASerialPort;
}
