#include "PortAccess.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSerialPort>
#include <QString>

#include <cstring>

#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

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

QString DevicePathOf(const QString& path)
{
    const QString device = QFileInfo(path).canonicalFilePath();
    return device.isEmpty() ? path : device;
}

bool InDialoutGroup(const QString& path)
{
    struct stat info
    {
    };
    if (stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    group entry{};
    group* found = nullptr;
    char names[4096];
    return getgrgid_r(info.st_gid, &entry, names, sizeof names, &found) == 0 && found &&
           std::strcmp(found->gr_name, "dialout") == 0;
}

bool IsSerialDevice(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info
    {
    };
    if (stat(name.constData(), &info) != 0)
        return true; // nothing there: that is a missing device, not a wrong kind of file
    if (!S_ISCHR(info.st_mode))
        return false;
    const int fd = open(name.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return true; // held or forbidden: the open's own error says so
    const bool terminal = isatty(fd) == 1;
    close(fd);
    return terminal;
}

PortLock ProbePortLockIn(const QStringList& lockDirs, const QString& devicePath)
{
    // The library's lock file: "LCK.." and the device's name below /dev, its slashes made
    // underscores, in the first readable folder of its list that holds it or may take it.
    QString name = devicePath.startsWith(QStringLiteral("/dev/")) ? devicePath.mid(5) : devicePath;
    name.replace(u'/', u'_');
    for (const QString& dir : lockDirs) {
        const QString path = dir + QStringLiteral("/LCK..") + name;
        const QFileInfo folder(dir);
        if (!folder.isReadable() || !(QFileInfo::exists(path) || folder.isWritable()))
            continue;
        QLockFile lock(path);
        if (lock.tryLock(0)) {
            lock.unlock();
            return PortLock::Free;
        }
        return lock.error() == QLockFile::LockFailedError ? PortLock::HeldByAnotherProgram
                                                          : PortLock::CannotBeMade;
    }
    return PortLock::CannotBeMade;
}

PortLock ProbePortLock(const QString& devicePath)
{
    static const QStringList kLockDirs = {
        QStringLiteral("/var/lock"),
        QStringLiteral("/etc/locks"),
        QStringLiteral("/var/spool/locks"),
        QStringLiteral("/var/spool/uucp"),
        QStringLiteral("/tmp"),
        QStringLiteral("/var/tmp"),
        QStringLiteral("/var/lock/lockdev"),
        QStringLiteral("/run/lock"),
    };
    return ProbePortLockIn(kLockDirs, devicePath);
}
