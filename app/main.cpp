// norvane-upgrader: the window that downloads firmware to one Tessary Norvane device.
#include "AppIcons.h"
#include "DesktopShellOpenService.h"
#include "EventLoopHost.h"
#include "FrmMain.h"
#include "PortNaming.h"
#include "ProgramVersion.h"
#include "QtFileDialogService.h"
#include "QtMessageBoxService.h"
#include "QtSerialPort.h"
#include "WindowCommandLine.h"

#include <QApplication>
#include <QStyleFactory>

#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Answered before the application is made: it needs a display, --help and --version do not.
    if (const std::optional<QString> answer = WindowCommandLineAnswer(
            arguments, QStringLiteral("norvane-upgrader"),
            QStringLiteral("The window that downloads firmware into a Tessary Norvane device."))) {
        std::fputs(qPrintable(*answer), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("norvane-upgrader"));
    QApplication::setApplicationVersion(QString::fromLatin1(kProgramVersion));
    QApplication::setDesktopFileName(QStringLiteral("norvane-upgrader"));
    QApplication::setWindowIcon(ApplicationIcon());
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);

    EventLoopHost host;
    QtSerialPort port;
    QtMessageBoxService messages;
    QtFileDialogService fileDialog;
    DesktopShellOpenService shell;
    const FrmMainServices services{
        host,
        port,
        messages,
        fileDialog,
        shell,
        [](int16_t number) {
            return ResolvePortName(QStringLiteral("COM") + QString::number(number));
        },
        [] { QCoreApplication::exit(0); },
        QCoreApplication::applicationDirPath(),
    };

    FrmMain window(services);
    messages.SetParent(&window);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
