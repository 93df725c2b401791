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

// The exit codes of norvane-flash. Codes 1 to 5 describe the state a download left a device
// in; with several ports the worst of them wins (see WorseOf).
enum class ExitCode
{
    Ok = 0,
    DownloadFailed = 1,       // failed after programming began
    Cancelled = 2,            // Ctrl-C, SIGTERM or SIGHUP
    FileNotUsable = 3,        // file missing or not a usable S-record file
    PortUnavailable = 4,      // the port cannot be opened
    BootloaderNotStarted = 5, // the device never reported its bootloader ready
    Usage = 64,               // bad command line (EX_USAGE)
    OutputFailed = 74,        // all went well, but the output could not be written (EX_IOERR)
};

// The code of the device left in the worse state: 1 before 2 before 5, 4, 3, and 0 last.
ExitCode WorseOf(ExitCode a, ExitCode b);
// The outcome word of the JSON events ("downloaded", "failed", ...) and its phrase for people.
QString OutcomeWord(ExitCode code);
QString OutcomePhrase(ExitCode code);

// Prints "norvane-flash COMMAND: message" and where the help is, returns ExitCode::Usage.
int UsageError(const char* command, const QString& message);
// The exit code once the standard output has been flushed: a code of 0 becomes
// OutputFailed when anything written to it was lost (a closed pipe, a full disk).
int WithOutputChecked(int code);
