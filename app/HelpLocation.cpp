#include "HelpLocation.h"

#include "AppInfo.h"

#include <QDir>
#include <QFileInfo>

QString HelpFilePath(const QString& programDir, const QString& dataFolder, const QString& document)
{
    const QString besideProgram = programDir + document;
    if (QFileInfo::exists(besideProgram))
        return besideProgram;
    const QString installed =
        QDir::cleanPath(programDir + QStringLiteral("/../share/") + dataFolder + document);
    if (QFileInfo::exists(installed))
        return installed;
    return besideProgram;
}

QString HelpFilePath(const QString& programDir)
{
    return HelpFilePath(programDir, QStringLiteral("norvane-upgrader"), kHelpFileRelative);
}
