#include "PortNaming.h"

// Unix systems have no COM numbers: COMn is the n-th port of the ordered system list.
QString SystemDeviceForComNumber(int number)
{
    const QList<QSerialPortInfo> ports = OrderedSystemPorts();
    if (number < 1 || number > ports.size())
        return {};
    return ports.at(number - 1).systemLocation();
}
