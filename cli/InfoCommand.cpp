// norvane-flash info FILE [--json]: loads a firmware file exactly as the Download command does
// and prints what a user checks before flashing.
#include "Commands.h"

#include "FirmwarePrinter.h"
#include "SharedOptions.h"

#include <cstdio>

namespace {

void PrintHelp()
{
    std::printf(
        "Usage: norvane-flash info FILE [--json]\n"
        "\n"
        "Loads the Motorola S-record firmware file FILE exactly as a download does and shows\n"
        "what a download would do: the loaded address range, the image CRC as the window\n"
        "shows it (\"File: CRC - XXXXh\"), the 16-bit checksum the application header\n"
        "carries, the number of 128-byte steps and of non-blank steps, the flash blocks that\n"
        "would be erased, whether the application header is programmed (block 1 touched) and\n"
        "the least time the download needs on a 19200-baud line.\n"
        "\n"
        "Options:\n"
        "  --json     print one JSON object with the keys result, start, end, crc,\n"
        "             checksum16, steps, nonBlankSteps, blocks, header, wireSeconds, and\n"
        "             overlap {earlierLine, laterLine, address} when records overlap\n"
        "  --         ends the options (a FILE that starts with '-')\n"
        "  -h, --help show this help\n"
        "\n"
        "Exit codes:\n"
        "  0   the file loaded\n"
        "  3   the file is missing or not a usable S-record file (unreadable, malformed or a\n"
        "      checksum error; the message names the line)\n"
        "  64  bad command line\n"
        "  74  the output could not be written\n");
}

} // namespace

const OptionTable kInfoOptionTable{
    .options = {&kJsonOption, &kHelpOption}, .operands = true, .unknown = "unknown option '%1'"};

int RunInfoCommand(const QStringList& args)
{
    ParsedOptions parsed;
    QString error;
    if (!ParseOptions(args, kInfoOptionTable, parsed, error))
        return UsageError("info", error);
    if (parsed.Has(kHelpOption)) {
        PrintHelp();
        return static_cast<int>(ExitCode::Ok);
    }
    if (parsed.operands.size() > 1)
        return UsageError("info", QStringLiteral("only one FILE, please"));
    if (parsed.operands.isEmpty())
        return UsageError("info", QStringLiteral("no FILE given"));
    const QString fileName = parsed.operands.front();
    const bool json = parsed.Has(kJsonOption);

    return PrintFirmware(fileName, FirmwareReport::Facts, json);
}
