#include "StationFacts.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

QString StationHostName()
{
    return QSysInfo::machineHostName();
}

QString StationUserName()
{
#ifdef Q_OS_UNIX
    // The account itself, also where no login set USER (a service, a container).
    if (const passwd* account = getpwuid(geteuid()))
        return QString::fromLocal8Bit(account->pw_name);
#endif
    return qEnvironmentVariable("USERNAME", qEnvironmentVariable("USER"));
}

QString FileSha256(const QString& fileName)
{
    // Only a regular file: reading a FIFO or a device named as firmware would never end.
    if (!QFileInfo(fileName).isFile())
        return QString();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return QString();
    return QString::fromLatin1(hash.result().toHex());
}
