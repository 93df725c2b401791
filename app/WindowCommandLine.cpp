#include "WindowCommandLine.h"

#include "ProgramVersion.h"

std::optional<QString> WindowCommandLineAnswer(const QStringList& arguments, const QString& program,
                                               const QString& purpose)
{
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return QStringLiteral("Usage: %1 [options]\n"
                                  "%2\n"
                                  "\n"
                                  "Options:\n"
                                  "  -h, --help     Show this help.\n"
                                  "  -v, --version  Show the version.\n"
                                  "\n"
                                  "Qt's own options (-style, -platform, ...) are taken as well.\n")
                .arg(program, purpose);
        if (argument == QLatin1String("--version") || argument == QLatin1String("-v"))
            return QStringLiteral("%1 %2\n").arg(program, QLatin1String(kProgramVersion));
    }
    return std::nullopt;
}
