// norvane-flash: the command-line tool over the same libraries as the window.
#include "Commands.h"
#include "OptionTable.h"
#include "Outcome.h"
#include "ProgramVersion.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {

struct Command
{
    const char* name;
    int (*run)(const QStringList& args);
    const OptionTable& options;
    const char* summary;
};

// One line per subcommand.
const Command kCommands[] = {
    {"info", RunInfoCommand, kInfoOptionTable, "show what a download of a firmware file would do"},
    {"flash", RunFlashCommand, kFlashOptionTable,
     "download a firmware file into one or several devices"},
    {"ports", RunPortsCommand, kPortsOptionTable,
     "list COM1 to COM12, the device each reaches and whether it is free"},
    {"station", RunStationCommand, kStationOptionTable,
     "flash every device plugged in while it runs"},
    {"history", RunHistoryCommand, kHistoryOptionTable,
     "list, sum up or chart the recorded downloads"},
};

const Command* FindCommand(const QString& name)
{
    for (const Command& command : kCommands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

int PrintUsage()
{
    std::printf("Usage: norvane-flash COMMAND [ARGUMENTS...]\n\n"
                "Tessary Norvane Upgrader, command line.\n\nCommands:\n");
    for (const Command& command : kCommands)
        std::printf("  %-8s %s\n", command.name, command.summary);
    std::printf("\nnorvane-flash help COMMAND (or COMMAND --help) shows the help of a command.\n"
                "norvane-flash --version shows the version.\n");
    return static_cast<int>(ExitCode::Ok);
}

// Not in the help: for the packaging checks, the options of every command, one a line and
// tab-separated: command, option, short name, value name (empty where there is none). A
// command that takes a FILE lists "--" as well.
int PrintOptionTables()
{
    for (const Command& command : kCommands) {
        for (const OptionDeclaration* option : command.options.options)
            std::printf("%s\t%s\t%s\t%s\n", command.name, option->name,
                        option->shortName ? option->shortName : "",
                        option->valueName ? option->valueName : "");
        if (command.options.operands)
            std::printf("%s\t--\t\t\n", command.name);
    }
    return static_cast<int>(ExitCode::Ok);
}

// Not in the help: for the packaging checks, the words history --outcome takes, one a line.
int PrintOutcomeWords()
{
    for (const QString& word : OutcomeWords())
        std::printf("%s\n", qPrintable(word));
    return static_cast<int>(ExitCode::Ok);
}

int Dispatch(QStringList args)
{
    if (args.isEmpty())
        return UsageError("", QStringLiteral("no command given"));
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h"))
        return PrintUsage();
    if (name == QLatin1String("help")) {
        if (args.isEmpty())
            return PrintUsage();
        const Command* command = FindCommand(args.front());
        if (!command || args.size() > 1)
            return UsageError("help", QStringLiteral("no such command '%1'").arg(args.join(' ')));
        return command->run({QStringLiteral("--help")});
    }
    if (name == QLatin1String("--option-table"))
        return PrintOptionTables();
    if (name == QLatin1String("--outcome-words"))
        return PrintOutcomeWords();
    if (name == QLatin1String("--version")) {
        std::printf("norvane-flash %s\n", kProgramVersion);
        return static_cast<int>(ExitCode::Ok);
    }
    if (const Command* command = FindCommand(name))
        return command->run(args);
    return UsageError("", QStringLiteral("unknown command '%1'").arg(name));
}

} // namespace

int main(int argc, char* argv[])
{
#ifdef SIGPIPE
    // A reader that goes away (| head) must not end a download half way: writes to it fail
    // instead, and the exit code tells at the end.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("norvane-flash"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kProgramVersion));

    QStringList args = QCoreApplication::arguments();
    args.removeFirst(); // the program itself
    return WithOutputChecked(Dispatch(args));
}
