#include "PortAccess.h"

#include <QSerialPort>

#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>

void RequestLowLatency(QSerialPort& port)
{
    const int fd = port.handle();
    serial_struct settings{};
    if (ioctl(fd, TIOCGSERIAL, &settings) != 0)
        return; // not a driver with serial settings: nothing to tune
    settings.flags |= ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &settings);
}

bool TakeExclusiveAccess(QSerialPort& port)
{
    // An advisory lock on the open device binds every program that opens ports the same way,
    // the superuser too (the terminal's exclusive mode does not bind the superuser).
    return flock(port.handle(), LOCK_EX | LOCK_NB) == 0;
}
