#pragma once

#include <QHash>
#include <QList>
#include <QSerialPortInfo>
#include <QString>
#include <QStringList>

// How a port name becomes a device. "COMn" is looked up in the overrides (settings group
// "Ports", e.g. COM3=/dev/ttyUSB0) first, then it names the n-th serial port the system
// reports; any other name is a device path and is used as it stands.

// n for "COMn" (any case, n >= 0); -1 for every other name.
int ComNumber(const QString& name);

// The device that name reaches, or empty text when COMn reaches none (COM0, a number past
// the end of the list).
QString ResolvePortName(const QString& name, const QHash<QString, QString>& overrides,
                        const QStringList& systemDevices);

// The same with the user's overrides and the ports the system reports now.
QString ResolvePortName(const QString& name);

// The overrides stored in the settings group "Ports", keyed by upper-case "COMn".
QHash<QString, QString> PortOverrides();

// The system's serial ports in a stable order: USB adapters first, then the others; within
// each group by name, numbers compared as numbers (ttyS2 before ttyS10).
QList<QSerialPortInfo> OrderedSystemPorts();

// True when a belongs before b in that order.
bool PortOrderLess(bool aIsUsb, const QString& aName, bool bIsUsb, const QString& bName);

// The device COMn reaches when no override names it; empty when there is none.
QString SystemDeviceForComNumber(int number);
