#include "StationOptions.h"

#include "OptionValue.h"

bool ParseStationOptions(const QStringList& args, StationOptions& options, QString& error)
{
    bool onlyFiles = false; // after "--" every argument is a file name
    for (qsizetype i = 0; i < args.size() && error.isEmpty(); ++i) {
        const QString& arg = args[i];
        const bool option = !onlyFiles && arg.startsWith(QLatin1Char('-')) && arg.size() > 1;
        QString value;
        if (!option) {
            if (!options.fileName.isEmpty())
                error = QStringLiteral("only one firmware file can be given");
            options.fileName = arg;
        } else if (arg == QLatin1String("--")) {
            onlyFiles = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
        } else if (arg == QLatin1String("--json")) {
            options.json = true;
        } else if (arg == QLatin1String("--include-present")) {
            options.includePresent = true;
        } else if (TakeOptionValue(args, i, QStringLiteral("--watch"), value, error)) {
            options.watchDir = value;
        } else if (TakeOptionValue(args, i, QStringLiteral("--jobs"), value, error)) {
            if (error.isEmpty())
                ParseCount(QStringLiteral("--jobs"), value, 1, options.jobs, error);
        } else if (TakeOptionValue(args, i, QStringLiteral("--retries"), value, error)) {
            if (error.isEmpty())
                ParseCount(QStringLiteral("--retries"), value, 0, options.retries, error);
        } else if (TakeOptionValue(args, i, QStringLiteral("--record"), value, error)) {
            options.record = value;
        } else {
            error = QStringLiteral("unknown option %1").arg(arg);
        }
    }
    if (!error.isEmpty())
        return false;
    if (!options.help && options.fileName.isEmpty()) {
        error = QStringLiteral("no firmware file given");
        return false;
    }
    return true;
}

const char* StationUsageText()
{
    return "Usage: norvane-flash station [--watch DIR] [--jobs N] [--include-present]\n"
           "                             [--retries N] [--record PATH|URL] [--json] [--] FILE\n"
           "\n"
           "Flashes every device that is plugged in while it runs: loads the S-record\n"
           "firmware FILE once, watches a folder of port links and downloads FILE into each\n"
           "new port once, each port on a worker of its own. Unplug a device and plug the\n"
           "next one in: it is flashed in turn. A device that failed stays failed until it\n"
           "is unplugged. Ports there before the station started are left alone.\n"
           "\n"
           "Options:\n"
           "  --watch DIR        the folder of links to watch (default /dev/serial/by-id,\n"
           "                     one link per USB serial adapter)\n"
           "  --jobs N           at most N downloads at once, the others wait their turn\n"
           "                     (default: no limit)\n"
           "  --include-present  also flash the ports that were there at start\n"
           "  --retries N        start a download that failed on the line (no reply, a wrong\n"
           "                     reply, the line lost, the bootloader not answering) again\n"
           "                     from the beginning, up to N times; a device that refused\n"
           "                     the new firmware is not tried again\n"
           "  --record PATH|URL  where every download's row goes, as for flash: a SQLite\n"
           "                     file, or postgresql://USER@HOST[:PORT]/DB for a whole line\n"
           "                     (default ~/.local/share/NorvaneProg/history.sqlite)\n"
           "  --json             one JSON object per line, the events of flash --json\n"
           "  -h, --help         show this help\n"
           "\n"
           "Ctrl-C, SIGTERM and SIGHUP stop watching, let running downloads stop at their\n"
           "next step, print the counts and end the station. Exit codes:\n"
           "  0  no download failed or was stopped\n"
           "  1  a download failed or was stopped\n"
           "  3  file missing or not a usable S-record file\n"
           " 64  bad command line\n";
}
