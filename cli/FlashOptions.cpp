#include "FlashOptions.h"

namespace {

// "--name value" or "--name=value"; advances index past what it consumed.
bool TakeValue(const QStringList& args, qsizetype& index, const QString& name, QString& value,
               QString& error)
{
    const QString& arg = args[index];
    if (arg.startsWith(name + QLatin1Char('='))) {
        value = arg.mid(name.size() + 1);
    } else if (index + 1 < args.size()) {
        value = args[++index];
    } else {
        error = name + QStringLiteral(" needs a value");
        return false;
    }
    if (value.isEmpty()) {
        error = name + QStringLiteral(" needs a value");
        return false;
    }
    return true;
}

bool IsOption(const QString& arg, const QString& name)
{
    return arg == name || arg.startsWith(name + QLatin1Char('='));
}

} // namespace

bool ParseFlashOptions(const QStringList& args, FlashOptions& options, QString& error)
{
    const QString portOption = QStringLiteral("--port");
    const QString traceOption = QStringLiteral("--trace");
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        QString value;
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
        } else if (arg == QLatin1String("--json")) {
            options.json = true;
        } else if (IsOption(arg, portOption) || arg == QLatin1String("-p")) {
            if (!TakeValue(args, i, arg == QLatin1String("-p") ? arg : portOption, value, error))
                return false;
            if (options.ports.contains(value)) {
                error = QStringLiteral("port %1 is given twice").arg(value);
                return false;
            }
            options.ports.append(value);
        } else if (IsOption(arg, traceOption)) {
            if (!TakeValue(args, i, traceOption, value, error))
                return false;
            options.traceFile = value;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        } else if (options.fileName.isEmpty()) {
            options.fileName = arg;
        } else {
            error = QStringLiteral("only one firmware file can be given");
            return false;
        }
    }
    if (options.help)
        return true;
    if (options.ports.isEmpty()) {
        error = QStringLiteral("no port given (--port PORT)");
        return false;
    }
    if (options.fileName.isEmpty()) {
        error = QStringLiteral("no firmware file given");
        return false;
    }
    return true;
}

const char* FlashUsageText()
{
    return "Usage: norvane-flash flash --port PORT [--port PORT...] [--json] [--trace FILE] FILE\n"
           "\n"
           "Downloads the S-record firmware FILE into the device on PORT: starts its\n"
           "bootloader, erases and programs its flash, programs the application header and\n"
           "waits for the device to report the new firmware verified.\n"
           "\n"
           "Options:\n"
           "  -p, --port PORT  a device path (/dev/ttyUSB0) or COMn; give it several times to\n"
           "                   flash several devices at once from one loaded file\n"
           "  --json           one JSON object per line for every event (status, progress,\n"
           "                   message, outcome), each naming its port\n"
           "  --trace FILE     write every frame sent and received, in hex, with a\n"
           "                   millisecond timestamp, to FILE\n"
           "  -h, --help       show this help\n"
           "\n"
           "Ctrl-C stops every run at its next step (no header is programmed); press it\n"
           "again to end the program at once.\n"
           "\n"
           "Exit codes (with several ports, the highest of them):\n"
           "  0  downloaded and verified by the device (or no header was due)\n"
           "  1  download failed\n"
           "  2  cancelled\n"
           "  3  file missing or not a usable S-record file\n"
           "  4  port cannot be opened\n"
           "  5  bootloader did not start\n"
           " 64  bad command line\n";
}
