// norvane-flash info FILE [--json]: loads a firmware file exactly as the Download command does
// and prints what a user checks before flashing.
#include "Commands.h"

#include "DownloadPlan.h"
#include "FirmwareFile.h"
#include "FirmwareImage.h"
#include "Misc.h"
#include "SRecord.h"
#include "SharedOptions.h"

#include <QFile>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr double kBaud = 19200.0;
constexpr double kBitsPerByte = 10.0; // start bit, 8 data bits, stop bit

// A host for a command-line run without an event loop: a monotonic millisecond clock, and
// "process events" just waits for the given time, as there are no events to dispatch.
class CommandLineHost : public Host
{
public:
    int32_t TickCount() override
    {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<int32_t>(static_cast<uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
    }
    void ProcessEvents(int32_t /*maxWaitMs*/) override {}
};

struct ImageFacts
{
    int32_t start = 0;
    int32_t end = 0;
    uint16_t crc = 0;
    uint16_t checksum16 = 0;
    DownloadPlan plan;
    double wireSeconds = 0.0;
};

ImageFacts DescribeImage(const FirmwareImage& image, int32_t start, int32_t end)
{
    ImageFacts facts;
    facts.start = start;
    facts.end = end;
    // The same CRC and checksum a download computes; the header carries bits 15..0 of the
    // checksum.
    const ApplicationChecks checks = CalculateApplicationChecks(image, end);
    facts.crc = static_cast<uint16_t>(checks.crc);
    facts.checksum16 = static_cast<uint16_t>(checks.checksum);
    facts.plan = PlanDownload(image, start, end);
    facts.wireSeconds = static_cast<double>(facts.plan.Total().Total()) * kBitsPerByte / kBaud;
    return facts;
}

std::filesystem::path ToPath(const QString& name)
{
#ifdef _WIN32
    return std::filesystem::path(name.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(name).toStdString());
#endif
}

std::string Hex6(int32_t value)
{
    return "0x" + FormatHex(value, 6);
}

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

// The "overlap" key is present only when records overwrote each other.
void PrintJson(int16_t result, const ImageFacts& facts,
               const std::optional<SRecordOverlap>& overlap)
{
    std::string blocks;
    for (const int16_t block : facts.plan.ErasedBlocks()) {
        if (!blocks.empty())
            blocks += ',';
        blocks += std::to_string(block);
    }
    std::string overlapKey;
    if (overlap)
        overlapKey = ",\"overlap\":{\"earlierLine\":" + std::to_string(overlap->earlierLine) +
                     ",\"laterLine\":" + std::to_string(overlap->laterLine) +
                     ",\"address\":" + std::to_string(overlap->address) + "}";
    std::printf("{\"result\":%d,\"start\":%d,\"end\":%d,\"crc\":%u,\"checksum16\":%u,"
                "\"steps\":%d,\"nonBlankSteps\":%d,\"blocks\":[%s],\"header\":%s,"
                "\"wireSeconds\":%.3f%s}\n",
                result, facts.start, facts.end, static_cast<unsigned>(facts.crc),
                static_cast<unsigned>(facts.checksum16), facts.plan.stepCount,
                facts.plan.programSteps, blocks.c_str(), facts.plan.header ? "true" : "false",
                facts.wireSeconds, overlapKey.c_str());
}

void PrintText(const QString& fileName, const ImageFacts& facts)
{
    std::string blocks;
    for (const int16_t block : facts.plan.ErasedBlocks())
        blocks += (blocks.empty() ? "" : " ") + std::to_string(block);
    std::printf("Firmware file:  %s\n", qPrintable(fileName));
    std::printf("Loaded range:   %s to %s (a span of %d bytes)\n", Hex6(facts.start).c_str(),
                Hex6(facts.end).c_str(), facts.end - facts.start + 1);
    std::printf("File: CRC - %sh\n", FormatHex(facts.crc, 4).c_str());
    std::printf("Checksum:       %sh (16 bits, as the application header carries it)\n",
                FormatHex(facts.checksum16, 4).c_str());
    std::printf("Steps:          %d of 128 bytes, %d non-blank\n", facts.plan.stepCount,
                facts.plan.programSteps);
    std::printf("Blocks erased:  %s\n", blocks.empty() ? "none" : blocks.c_str());
    std::string blankBlocks;
    for (const PlannedCommand& command : facts.plan.commands) {
        if (command.blankBlock)
            blankBlocks += (blankBlocks.empty() ? "" : " ") + std::to_string(command.block);
    }
    if (!blankBlocks.empty())
        std::printf(
            "Blank blocks:   %s (nothing to program; erased so that the device can verify)\n",
            blankBlocks.c_str());
    std::printf("Header:         %s\n",
                facts.plan.header ? "yes (block 1 is programmed; the device verifies the image)"
                                  : "no (block 1 is not touched)");
    std::printf("Download time:  at least %.1f s at 19200 baud (%lld bytes on the wire)\n",
                facts.wireSeconds, static_cast<long long>(facts.plan.Total().Total()));
}

void PrintLoadError(const QString& fileName, int16_t result, const LoadProblem& problem)
{
    const QByteArray name = fileName.toLocal8Bit();
    const char* kind = problem.kind == LoadProblem::Kind::NoData
                           ? "malformed"
                           : LoadProblemText(problem.kind); // unreadable, malformed, checksum error
    if (problem.line > 0)
        std::fprintf(stderr, "norvane-flash: %s: %s at line %d: %s\n", name.constData(), kind,
                     problem.line, problem.reason);
    else
        std::fprintf(stderr, "norvane-flash: %s: %s: %s\n", name.constData(), kind, problem.reason);
    std::fprintf(stderr, "(loader result %d: not a usable S-record firmware file)\n", result);
}

void PrintOverlapWarning(const QString& fileName, const SRecordOverlap& overlap)
{
    std::fprintf(stderr,
                 "norvane-flash: %s: warning: line %d overwrites data of line %d from address "
                 "%s (the later line wins)\n",
                 fileName.toLocal8Bit().constData(), overlap.laterLine, overlap.earlierLine,
                 Hex6(overlap.address).c_str());
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

    // As the window's Download command does: the load into the one fixed image.
    static FirmwareImage image;
    CommandLineHost host;
    const std::atomic<bool> cancel{false};
    const SRecordLoad load = LoadSRecordFile(ToPath(fileName), image, host, cancel);
    const int16_t result = ResultCode(load.result);
    const int32_t start = load.startAddr;
    const int32_t end = load.endAddr;

    if (load.result != SRecordResult::Ok) {
        if (json)
            PrintJson(result, ImageFacts{}, std::nullopt);
        PrintLoadError(fileName, result, load.problem);
        return static_cast<int>(ExitCode::FileNotUsable);
    }
    if (load.overlap)
        PrintOverlapWarning(fileName, *load.overlap);

    const ImageFacts facts = DescribeImage(image, start, end);
    if (json)
        PrintJson(result, facts, load.overlap);
    else
        PrintText(fileName, facts);
    return static_cast<int>(ExitCode::Ok);
}
