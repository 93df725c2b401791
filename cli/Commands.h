#pragma once

#include <QString>
#include <QStringList>

// The subcommands of norvane-flash. Each takes the arguments that follow its name on the
// command line and returns the process exit code. A new command declares its function here
// and adds one line to the table in main.cpp.
int RunInfoCommand(const QStringList& args);    // info FILE [--json]
int RunFlashCommand(const QStringList& args);   // flash --port PORT [--port PORT...] FILE
int RunPortsCommand(const QStringList& args);   // ports [--json]
int RunStationCommand(const QStringList& args); // station FILE: every device plugged in
int RunHistoryCommand(const QStringList& args); // history: the recorded downloads

// The options each command takes. Its --help, the manual page and the shell completion are
// checked against them (norvane-flash --option-table lists them).
struct OptionTable;
extern const OptionTable kInfoOptionTable;
extern const OptionTable kFlashOptionTable;
extern const OptionTable kPortsOptionTable;
extern const OptionTable kStationOptionTable;
extern const OptionTable kHistoryOptionTable;

// The exit codes of norvane-flash that no run's outcome gives; a run's outcome gives 0 to 5
// (OutcomeExitCode), and with several ports the worst outcome wins (WorseOutcome).
enum class ExitCode
{
    Ok = 0,
    Usage = 64,        // bad command line (EX_USAGE)
    OutputFailed = 74, // all went well, but the output could not be written (EX_IOERR)
};

// Prints "norvane-flash COMMAND: message" and where the help is, returns ExitCode::Usage.
int UsageError(const char* command, const QString& message);
// The exit code once the standard output has been flushed: a code of 0 becomes
// OutputFailed when anything written to it was lost (a closed pipe, a full disk).
int WithOutputChecked(int code);
