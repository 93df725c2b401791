#include "FlashPlanPrinter.h"

#include "Commands.h"
#include "DownloadPlan.h"
#include "EventLoopHost.h"
#include "FirmwareFile.h"
#include "FlashJob.h"
#include "Hex.h"
#include "Protocol.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>
#include <cstdio>
#include <memory>

namespace {

QString Hex(int32_t value, int digits)
{
    return QStringLiteral("0x") + QString::fromStdString(FormatHex(value, digits));
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
        line += QLatin1Char(' ') + Hex(command.address, 6);
    if (command.blankBlock)
        line += QStringLiteral(" blank");
    return line;
}

void PrintText(const DownloadPlan& plan, const ApplicationChecks& checks)
{
    for (const PlannedCommand& command : plan.commands)
        std::printf("%s\n", qPrintable(CommandLine(command)));
    if (plan.header)
        std::printf("header %s crc %sh checksum %sh\n", qPrintable(Hex(plan.endAddress, 6)),
                    FormatHex(static_cast<uint16_t>(checks.crc), 4).c_str(),
                    FormatHex(static_cast<uint16_t>(checks.checksum), 4).c_str());
}

void PrintJson(const DownloadPlan& plan, const ApplicationChecks& checks)
{
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
                        {QStringLiteral("crc"), static_cast<uint16_t>(checks.crc)},
                        {QStringLiteral("checksum16"), static_cast<uint16_t>(checks.checksum)}});
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

} // namespace

int PrintDownloadPlan(const QString& fileName, bool json)
{
    EventLoopHost host;
    const std::atomic<bool> cancel{false};
    auto image = std::make_unique<FirmwareImage>();
    int32_t startAddr = 0;
    int32_t endAddr = 0;
    LoadProblem problem;
    const FirmwareFileResult loaded =
        LoadFirmwareFile(fileName, *image, startAddr, endAddr, host, cancel, &problem);
    if (loaded != FirmwareFileResult::Loaded) {
        std::fprintf(stderr, "norvane-flash flash: %s\n",
                     qPrintable(UnusableFileDetail(fileName, loaded, problem)));
        return static_cast<int>(ExitCode::FileNotUsable);
    }
    const DownloadPlan plan = PlanDownload(*image, startAddr, endAddr);
    const ApplicationChecks checks = CalculateApplicationChecks(*image, endAddr);
    if (json)
        PrintJson(plan, checks);
    else
        PrintText(plan, checks);
    return static_cast<int>(ExitCode::Ok);
}
