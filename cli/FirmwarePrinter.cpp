// What a firmware file holds and what a download of it would do, printed from one load: the
// facts of norvane-flash info and the commands of flash --dry-run.
#include "FirmwarePrinter.h"

#include "Commands.h"
#include "EventLoopHost.h"
#include "Firmware.h"
#include "FirmwareFacts.h"
#include "Hex.h"
#include "Outcome.h"
#include "Protocol.h"
#include "VisibleText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>
#include <cstdio>
#include <string>

namespace {

// "0x003080": an address.
std::string Hex6(int32_t value)
{
    return "0x" + FormatHex(value, 6);
}

QString CommandWord(PlannedCommand::Kind kind)
{
    switch (kind) {
    case PlannedCommand::Kind::Erase:
        return QStringLiteral("erase");
    case PlannedCommand::Kind::Program:
        return QStringLiteral("program");
    case PlannedCommand::Kind::EraseProgram:
        return QStringLiteral("erase-program");
    }
    return {};
}

// "erase 4", "erase 5 blank", "program 0x003080", "erase-program 1 0x000000".
QString CommandLine(const PlannedCommand& command)
{
    QString line = CommandWord(command.kind);
    if (command.kind != PlannedCommand::Kind::Program)
        line += QStringLiteral(" %1").arg(command.block);
    if (command.kind != PlannedCommand::Kind::Erase)
        line += QLatin1Char(' ') + QString::fromStdString(Hex6(command.address));
    if (command.blankBlock)
        line += QStringLiteral(" blank");
    return line;
}

void PrintPlanText(const Firmware& firmware)
{
    const DownloadPlan& plan = firmware.plan;
    for (const PlannedCommand& command : plan.commands)
        std::printf("%s\n", qPrintable(CommandLine(command)));
    if (plan.header)
        std::printf("header %s crc %sh checksum %sh\n", Hex6(plan.endAddress).c_str(),
                    FormatHex(static_cast<uint16_t>(firmware.crc), 4).c_str(),
                    FormatHex(static_cast<uint16_t>(firmware.checksum), 4).c_str());
}

void PrintPlanJson(const Firmware& firmware)
{
    const DownloadPlan& plan = firmware.plan;
    QJsonArray commands;
    for (const PlannedCommand& command : plan.commands) {
        QJsonObject entry{{QStringLiteral("command"), CommandWord(command.kind)}};
        if (command.kind != PlannedCommand::Kind::Program)
            entry.insert(QStringLiteral("block"), command.block);
        if (command.kind != PlannedCommand::Kind::Erase)
            entry.insert(QStringLiteral("address"), command.address);
        if (command.blankBlock)
            entry.insert(QStringLiteral("blank"), true);
        commands.append(entry);
    }
    if (plan.header)
        commands.append(
            QJsonObject{{QStringLiteral("command"), QStringLiteral("header")},
                        {QStringLiteral("end"), plan.endAddress},
                        {QStringLiteral("crc"), static_cast<uint16_t>(firmware.crc)},
                        {QStringLiteral("checksum16"), static_cast<uint16_t>(firmware.checksum)}});
    const WireBytes total = plan.Total();
    const QJsonObject object{
        {QStringLiteral("firstStep"), plan.firstStep},
        {QStringLiteral("end"), plan.endAddress},
        {QStringLiteral("steps"), plan.stepCount},
        {QStringLiteral("header"), plan.header},
        {QStringLiteral("bytesToDevice"), static_cast<qint64>(total.toDevice)},
        {QStringLiteral("bytesFromDevice"), static_cast<qint64>(total.fromDevice)},
        {QStringLiteral("commands"), commands}};
    std::printf("%s\n", QJsonDocument(object).toJson(QJsonDocument::Compact).constData());
}

// The "overlap" key is present only when records overwrote each other.
void PrintFactsJson(const Firmware& firmware)
{
    const DownloadPlan& plan = firmware.plan;
    const std::optional<SRecordOverlap>& overlap = firmware.overlap;
    std::string blocks;
    for (const int16_t block : plan.ErasedBlocks()) {
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
                ResultCode(firmware.loaderResult), firmware.start, firmware.end,
                static_cast<unsigned>(static_cast<uint16_t>(firmware.crc)),
                static_cast<unsigned>(static_cast<uint16_t>(firmware.checksum)), plan.stepCount,
                plan.programSteps, blocks.c_str(), plan.header ? "true" : "false",
                LineSeconds(plan.Total().Total()), overlapKey.c_str());
}

void PrintFactsText(const Firmware& firmware)
{
    const DownloadPlan& plan = firmware.plan;
    std::string blocks;
    for (const int16_t block : plan.ErasedBlocks())
        blocks += (blocks.empty() ? "" : " ") + std::to_string(block);
    std::printf("Firmware file:  %s\n", qPrintable(VisibleText(firmware.fileName)));
    std::printf("Loaded range:   %s to %s (a span of %d bytes)\n", Hex6(firmware.start).c_str(),
                Hex6(firmware.end).c_str(), firmware.end - firmware.start + 1);
    std::printf("%s\n", qPrintable(FirmwareCrcText(firmware)));
    std::printf("Checksum:       %sh (16 bits, as the application header carries it)\n",
                FormatHex(static_cast<uint16_t>(firmware.checksum), 4).c_str());
    std::printf("Steps:          %s\n", qPrintable(FirmwareStepsText(firmware)));
    std::printf("Blocks erased:  %s\n", blocks.empty() ? "none" : blocks.c_str());
    std::string blankBlocks;
    for (const PlannedCommand& command : plan.commands) {
        if (command.blankBlock)
            blankBlocks += (blankBlocks.empty() ? "" : " ") + std::to_string(command.block);
    }
    if (!blankBlocks.empty())
        std::printf(
            "Blank blocks:   %s (nothing to program; erased so that the device can verify)\n",
            blankBlocks.c_str());
    std::printf("Header:         %s\n",
                plan.header ? "yes (block 1 is programmed; the device verifies the image)"
                            : "no (block 1 is not touched)");
    std::printf("Download time:  %s\n", qPrintable(FirmwareLeastTimeText(firmware)));
}

void PrintLoadError(const Firmware& firmware)
{
    const LoadProblem& problem = firmware.problem;
    const int16_t result = ResultCode(firmware.loaderResult);
    const QByteArray name = VisibleText(firmware.fileName).toLocal8Bit();
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
                 qPrintable(VisibleText(fileName)), overlap.laterLine, overlap.earlierLine,
                 Hex6(overlap.address).c_str());
}

} // namespace

int PrintFirmware(const QString& fileName, FirmwareReport report, bool json)
{
    EventLoopHost host;
    const std::atomic<bool> cancel{false};
    const std::shared_ptr<const Firmware> firmware = LoadFirmware(fileName, host, cancel);
    const int unusable = OutcomeExitCode(Outcome::FileUnusable);
    if (report == FirmwareReport::Plan) {
        if (!firmware->Loaded()) {
            std::fprintf(stderr, "norvane-flash flash: %s\n",
                         qPrintable(VisibleText(firmware->ProblemText())));
            return unusable;
        }
        if (json)
            PrintPlanJson(*firmware);
        else
            PrintPlanText(*firmware);
        return static_cast<int>(ExitCode::Ok);
    }
    if (!firmware->Loaded()) {
        if (json) {
            Firmware nothingLoaded;
            nothingLoaded.loaderResult = firmware->loaderResult;
            PrintFactsJson(nothingLoaded);
        }
        PrintLoadError(*firmware);
        return unusable;
    }
    if (firmware->overlap)
        PrintOverlapWarning(fileName, *firmware->overlap);
    if (json)
        PrintFactsJson(*firmware);
    else
        PrintFactsText(*firmware);
    return static_cast<int>(ExitCode::Ok);
}
