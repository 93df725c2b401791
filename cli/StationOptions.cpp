#include "StationOptions.h"

#include <QStringList>

namespace {

// "--name value" or "--name=value"; advances index past what it consumed.
bool TakeValue(const QStringList& args, qsizetype& index, const QString& name, QString& value,
               QString& error)
{
    const QString& arg = args[index];
    if (arg.startsWith(name + QLatin1Char('=')))
        value = arg.mid(name.size() + 1);
    else if (arg == name && index + 1 < args.size())
        value = args[++index];
    if (value.isEmpty()) {
        error = name + QStringLiteral(" needs a value");
        return false;
    }
    return true;
}

bool TakeCount(const QStringList& args, qsizetype& index, const QString& name, int minimum,
               int& count, QString& error)
{
    QString value;
    if (!TakeValue(args, index, name, value, error))
        return false;
    bool ok = false;
    count = value.toInt(&ok);
    if (!ok || count < minimum) {
        error = QStringLiteral("%1 needs a whole number from %2 on, not \"%3\"")
                    .arg(name)
                    .arg(minimum)
                    .arg(value);
        return false;
    }
    return true;
}

bool IsOption(const QString& arg, const QString& name)
{
    return arg == name || arg.startsWith(name + QLatin1Char('='));
}

} // namespace

bool ParseStationOptions(const QStringList& args, StationOptions& options, QString& error)
{
    const QString watchOption = QStringLiteral("--watch");
    const QString jobsOption = QStringLiteral("--jobs");
    const QString retriesOption = QStringLiteral("--retries");
    const QString recordOption = QStringLiteral("--record");
    bool onlyFiles = false; // after "--" every argument is a file name
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool option = !onlyFiles && arg.startsWith(QLatin1Char('-')) && arg.size() > 1;
        if (!option) {
            if (!options.fileName.isEmpty()) {
                error = QStringLiteral("only one firmware file can be given");
                return false;
            }
            options.fileName = arg;
        } else if (arg == QLatin1String("--")) {
            onlyFiles = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
        } else if (arg == QLatin1String("--json")) {
            options.json = true;
        } else if (arg == QLatin1String("--include-present")) {
            options.includePresent = true;
        } else if (IsOption(arg, watchOption)) {
            if (!TakeValue(args, i, watchOption, options.watchDir, error))
                return false;
        } else if (IsOption(arg, jobsOption)) {
            if (!TakeCount(args, i, jobsOption, 1, options.jobs, error))
                return false;
        } else if (IsOption(arg, retriesOption)) {
            if (!TakeCount(args, i, retriesOption, 0, options.retries, error))
                return false;
        } else if (IsOption(arg, recordOption)) {
            if (!TakeValue(args, i, recordOption, options.record, error))
                return false;
        } else {
            error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
    }
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
