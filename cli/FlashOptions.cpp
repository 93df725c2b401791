#include "FlashOptions.h"

#include "Commands.h"
#include "SharedOptions.h"

namespace {

QString GivenOnce(const OptionDeclaration&, const QString& port, const QStringList& earlier)
{
    return earlier.contains(port) ? QStringLiteral("port %1 is given twice").arg(port) : QString();
}

constexpr OptionDeclaration kPortOption{
    .name = "--port", .shortName = "-p", .valueName = "PORT", .check = GivenOnce};
constexpr OptionDeclaration kTraceOption{.name = "--trace", .valueName = "FILE"};
constexpr OptionDeclaration kDryRunOption{.name = "--dry-run"};

} // namespace

const OptionTable kFlashOptionTable{.options = {&kPortOption, &kJsonOption, &kTraceOption,
                                                &kRetriesOption, &kRecordOption, &kDryRunOption,
                                                &kHelpOption},
                                    .operands = true};

bool ParseFlashOptions(const QStringList& args, FlashOptions& options, QString& error)
{
    ParsedOptions parsed;
    if (!ParseOptions(args, kFlashOptionTable, parsed, error))
        return false;
    options.ports = parsed.Values(kPortOption);
    options.traceFile = parsed.Value(kTraceOption);
    options.record = parsed.Value(kRecordOption);
    options.retries = parsed.Value(kRetriesOption).toInt();
    options.json = parsed.Has(kJsonOption);
    options.dryRun = parsed.Has(kDryRunOption);
    options.help = parsed.Has(kHelpOption);
    if (options.help)
        return true;
    const QStringList& files = parsed.operands;
    if (files.size() > 1)
        error = QStringLiteral("only one firmware file can be given");
    else if (options.ports.isEmpty() && !options.dryRun)
        error = QStringLiteral("no port given (--port PORT)");
    else if (files.isEmpty())
        error = QStringLiteral("no firmware file given");
    else
        options.fileName = files.front();
    return error.isEmpty();
}

const char* FlashUsageText()
{
    return "Usage: norvane-flash flash --port PORT [--port PORT...] [--json] [--trace FILE]\n"
           "                           [--retries N] [--record PATH|URL] [--] FILE\n"
           "       norvane-flash flash --dry-run [--json] [--] FILE\n"
           "\n"
           "Downloads the S-record firmware FILE into the device on PORT: starts its\n"
           "bootloader, erases and programs its flash, programs the application header and\n"
           "waits for the device to report the new firmware verified.\n"
           "\n"
           "Options:\n"
           "  -p, --port PORT  a device path (/dev/ttyUSB0) or COMn; give it several times to\n"
           "                   flash several devices at once from one loaded file\n"
           "  --json           one JSON object per line for every event (status, file,\n"
           "                   progress, message, outcome), each naming its port\n"
           "  --trace FILE     write every frame sent and received, in hex, with a\n"
           "                   millisecond timestamp, to FILE (not the firmware file or a port)\n"
           "  --retries N      start a download that failed on the line (no reply, a wrong\n"
           "                   reply, the line lost, the bootloader not answering) again\n"
           "                   from the beginning, up to N times; a device that refused\n"
           "                   the new firmware is not tried again\n"
           "  --record PATH    append the row of every download to the SQLite file PATH\n"
           "                   instead of ~/.local/share/NorvaneProg/history.sqlite\n"
           "  --record postgresql://USER@HOST[:PORT]/DB\n"
           "                   append them to the database the stations of a line share;\n"
           "                   rows wait in the default file while it cannot be reached\n"
           "  --dry-run        print the commands a download of FILE would send, one a line\n"
           "                   (erase, program, erase-program, header), or one JSON object\n"
           "                   with --json; no port is opened and nothing is sent\n"
           "  --               ends the options (a FILE that starts with '-')\n"
           "  -h, --help       show this help\n"
           "\n"
           "Ctrl-C, SIGTERM and SIGHUP stop every run at its next step (no header is\n"
           "programmed); a second one ends the program at once with 128 + its number.\n"
           "\n"
           "Exit codes (with several ports, the device left in the worst state: 1, 2, 5,\n"
           "4, 3, then 0):\n"
           "  0  downloaded and verified by the device (or no header was due)\n"
           "  1  download failed after programming began\n"
           "  2  cancelled\n"
           "  3  file missing or not a usable S-record file\n"
           "  4  port cannot be opened\n"
           "  5  bootloader did not start\n"
           " 64  bad command line\n"
           " 74  every device downloaded, but the output or the trace could not be written\n";
}
