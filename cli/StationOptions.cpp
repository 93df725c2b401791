#include "StationOptions.h"

#include "Commands.h"
#include "SharedOptions.h"

namespace {

constexpr OptionDeclaration kWatchOption{.name = "--watch", .valueName = "DIR"};
constexpr OptionDeclaration kJobsOption{
    .name = "--jobs", .valueName = "N", .check = WholeNumberFrom<1>};
constexpr OptionDeclaration kIncludePresentOption{.name = "--include-present"};

} // namespace

const OptionTable kStationOptionTable{.options = {&kWatchOption, &kJobsOption,
                                                  &kIncludePresentOption, &kRetriesOption,
                                                  &kRecordOption, &kJsonOption, &kHelpOption},
                                      .operands = true};

bool ParseStationOptions(const QStringList& args, StationOptions& options, QString& error)
{
    ParsedOptions parsed;
    if (!ParseOptions(args, kStationOptionTable, parsed, error))
        return false;
    options.watchDir = parsed.Value(kWatchOption, options.watchDir);
    options.jobs = parsed.Value(kJobsOption).toInt();
    options.includePresent = parsed.Has(kIncludePresentOption);
    options.retries = parsed.Value(kRetriesOption).toInt();
    options.record = parsed.Value(kRecordOption);
    options.json = parsed.Has(kJsonOption);
    options.help = parsed.Has(kHelpOption);
    if (options.help)
        return true;
    if (parsed.operands.size() > 1)
        error = QStringLiteral("only one firmware file can be given");
    else if (parsed.operands.value(0).isEmpty())
        error = QStringLiteral("no firmware file given");
    else
        options.fileName = parsed.operands.front();
    return error.isEmpty();
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
