#include "StationFacts.h"

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
