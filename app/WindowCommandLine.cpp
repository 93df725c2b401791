#include "WindowCommandLine.h"

#include "ProgramVersion.h"

std::optional<QString> WindowCommandLineAnswer(const QStringList& arguments)
{
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return QStringLiteral(
                "Usage: norvane-upgrader [options]\n"
                "The window that downloads firmware into a Tessary Norvane device.\n"
                "\n"
                "Options:\n"
                "  -h, --help     Show this help.\n"
                "  -v, --version  Show the version.\n"
                "\n"
                "Qt's own options (-style, -platform, ...) are taken as well.\n");
        if (argument == QLatin1String("--version") || argument == QLatin1String("-v"))
            return QStringLiteral("norvane-upgrader %1\n").arg(QLatin1String(kProgramVersion));
    }
    return std::nullopt;
}
