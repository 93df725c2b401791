#include "PortNaming.h"

// Windows names its serial ports COMn itself.
QString SystemDeviceForComNumber(int number)
{
    return number >= 1 ? QStringLiteral("COM%1").arg(number) : QString();
}
