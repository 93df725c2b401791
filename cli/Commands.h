#pragma once

#include <QStringList>

// The subcommands of norvane-flash. Each takes the arguments that follow its name on the
// command line and returns the process exit code. A new command declares its function here
// and adds one line to the table in main.cpp.

// norvane-flash info FILE [--json]: what a download of FILE would do (InfoCommand.cpp).
int RunInfoCommand(const QStringList& args);

// norvane-flash flash --port PORT [--port PORT...] FILE: downloads FILE (FlashCommand.cpp).
int RunFlashCommand(const QStringList& args);

// norvane-flash ports: COM1 to COM12, the device each reaches and whether it is free
// (PortsCommand.cpp).
int RunPortsCommand(const QStringList& args);

// norvane-flash station FILE: flashes every device plugged in while it runs
// (StationCommand.cpp).
int RunStationCommand(const QStringList& args);

// norvane-flash history: the recorded downloads as a table, JSON, CSV, a summary or a page
// (HistoryCommand.cpp).
int RunHistoryCommand(const QStringList& args);

// Exit codes shared by the commands.
constexpr int kExitOk = 0;
constexpr int kExitFileNotUsable = 3; // file missing or not a usable S-record file
constexpr int kExitUsage = 64;        // bad command line (EX_USAGE)
