// norvane-station: the window of a production line that flashes every device plugged in.
#include "AppIcons.h"
#include "AppSettings.h"
#include "DesktopShellOpenService.h"
#include "DialogSupervisorPrompts.h"
#include "HelpLocation.h"
#include "ProgramVersion.h"
#include "QtFileDialogService.h"
#include "QtMessageBoxService.h"
#include "QtSerialPort.h"
#include "StationWindow.h"
#include "WindowCommandLine.h"

#include <QApplication>
#include <QSettings>
#include <QStyleFactory>

#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Answered before the application is made: it needs a display, --help and --version do not.
    if (const std::optional<QString> answer = WindowCommandLineAnswer(
            arguments, QStringLiteral("norvane-station"),
            QStringLiteral("The window of a production line: every Tessary Norvane device "
                           "plugged in is flashed."))) {
        std::fputs(qPrintable(*answer), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("norvane-station"));
    QApplication::setApplicationVersion(QString::fromLatin1(kProgramVersion));
    QApplication::setDesktopFileName(QStringLiteral("norvane-station"));
    QApplication::setWindowIcon(ApplicationIcon());
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);

    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganisation);
    QtMessageBoxService messages;
    QtFileDialogService fileDialog;
    DesktopShellOpenService shell;
    DialogSupervisorPrompts prompts(nullptr);
    const StationWindowServices services{
        settings,
        messages,
        fileDialog,
        shell,
        prompts,
        [] { return std::make_unique<QtSerialPort>(); },
        HelpFilePath(QCoreApplication::applicationDirPath(), QStringLiteral("norvane-station"),
                     QStringLiteral("/Help/Station_Help.htm")),
    };

    StationWindow window(services);
    messages.SetParent(&window);
    // The whole screen from the start: it is read from a distance, and every port wants room
    // for a tile.
    window.showMaximized();
    return QApplication::exec();
}
