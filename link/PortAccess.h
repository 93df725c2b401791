#pragma once

#include <QStringList>

class QSerialPort;
class QString;

// Platform tuning of an opened port, each kept in a file per platform.

// Asks the driver to hand over received bytes at once instead of batching them (USB serial
// adapters otherwise hold small replies for up to 16 ms). Ports that cannot do it (a
// pseudo-terminal) are left as they are.
void RequestLowLatency(QSerialPort& port);

// Makes sure no other program has the device open through its own descriptor; false when
// one has. Needed where the system's own exclusive mode does not bind every user.
bool TakeExclusiveAccess(QSerialPort& port);

// The device path leads to through any links (/dev/ttyUSB0 for a link in /dev/serial/by-id),
// or path itself where it leads nowhere or the system has no such links. A bare name leads to
// the file of that name in the current folder, as ./name does; a bare name that names nothing
// there is left to the system (ttyUSB0 for /dev/ttyUSB0). Opened by that name,
// every link to one device meets the same lock, and the lock file's name stays short.
QString DevicePathOf(const QString& path);

// True when the device at path belongs to the group 'dialout'.
bool InDialoutGroup(const QString& path);

// False when path exists but cannot be a serial port: a regular file, a folder, a FIFO, or a
// device that is no terminal (/dev/null). Asked only after an open has failed.
bool IsSerialDevice(const QString& path);

// The lock file that the port library takes before it opens a device, tried and let go at once.
// The library reports a lock held by another program, a lock file it may not make and a
// device busy in another program's exclusive use all as the same permission error.
enum class PortLock
{
    Free,                 // the lock could be taken: the device itself refused
    HeldByAnotherProgram, // a running program holds it
    CannotBeMade,         // the lock file cannot be made (no right to, or no place for it)
};
PortLock ProbePortLock(const QString& devicePath);
// The same in the first of lockDirs that the library would use (Linux).
PortLock ProbePortLockIn(const QStringList& lockDirs, const QString& devicePath);
