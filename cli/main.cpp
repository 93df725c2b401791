// norvane-flash: the command-line tool over the same libraries as the window.
#include "Commands.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

struct Command
{
    const char* name;
    int (*run)(const QStringList& args);
    const char* summary;
};

// One line per subcommand.
const Command kCommands[] = {
    {"info", RunInfoCommand, "show what a download of a firmware file would do"},
    {"flash", RunFlashCommand, "download a firmware file into one or several devices"},
    {"ports", RunPortsCommand,
     "list COM1 to COM12, the device each reaches and whether it is free"},
    {"station", RunStationCommand, "flash every device plugged in while it runs"},
    {"history", RunHistoryCommand, "list, sum up or chart the recorded downloads"},
};

void PrintUsage(std::FILE* out)
{
    std::fprintf(out, "Usage: norvane-flash COMMAND [ARGUMENTS...]\n\n"
                      "Tessary Norvane Upgrader, command line.\n\nCommands:\n");
    for (const Command& command : kCommands)
        std::fprintf(out, "  %-8s %s\n", command.name, command.summary);
    std::fprintf(out, "\nnorvane-flash COMMAND --help shows the help of a command.\n"
                      "norvane-flash --version shows the version.\n");
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("norvane-flash"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NORVANE_VERSION));

    QStringList args = QCoreApplication::arguments();
    args.removeFirst(); // the program itself
    if (args.isEmpty()) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        PrintUsage(stdout);
        return kExitOk;
    }
    if (name == QLatin1String("--version")) {
        std::printf("norvane-flash %s\n", NORVANE_VERSION);
        return kExitOk;
    }
    for (const Command& command : kCommands) {
        if (name == QLatin1String(command.name))
            return command.run(args);
    }
    std::fprintf(stderr, "norvane-flash: unknown command '%s'\n\n", qPrintable(name));
    PrintUsage(stderr);
    return kExitUsage;
}
