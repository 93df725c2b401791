#include "HelpLocation.h"

#include "AppInfo.h"

#include <QDir>
#include <QFileInfo>

QString HelpFilePath(const QString& programDir)
{
    const QString besideProgram = programDir + kHelpFileRelative;
    if (QFileInfo::exists(besideProgram))
        return besideProgram;
    const QString installed = QDir::cleanPath(
        programDir + QStringLiteral("/../share/norvane-upgrader") + kHelpFileRelative);
    if (QFileInfo::exists(installed))
        return installed;
    return besideProgram;
}
