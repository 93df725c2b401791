// norvane-flash flash: downloads one firmware file into the devices on one or several ports
// at once, each port on a worker thread of its own.
#include "Commands.h"

#include "CommandRun.h"
#include "DownloadTexts.h"
#include "FirmwarePrinter.h"
#include "FlashOptions.h"
#include "FlashRecord.h"
#include "FlashTrace.h"
#include "JsonLineSink.h"
#include "LiveTableSink.h"
#include "PlainLineSink.h"
#include "RecordOption.h"
#include "StopSignals.h"
#include "Terminal.h"
#include "ThreadedPortRunner.h"
#include "VisibleText.h"

#include <QEventLoop>

#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<EventSink> MakeSink(const FlashOptions& options, OutputQueue& out)
{
    if (options.json)
        return std::make_unique<JsonLineSink>(out, stdout);
    if (IsLiveTerminal(stdout))
        return std::make_unique<LiveTableSink>(out, stdout);
    return std::make_unique<PlainLineSink>(
        out, stdout, stderr, PlainLineStyle{false, options.ports.size() > 1, options.ports});
}

// Runs every port at once, each on a worker thread of its own, and returns the outcome of the
// device left in the worst state.
Outcome RunEveryPort(const PortRun& shared, const QStringList& ports)
{
    ThreadedPortRunner runner(shared);
    QEventLoop loop;
    Outcome worst = Outcome::Downloaded;
    qsizetype running = ports.size();
    for (const QString& port : ports) {
        runner.Start(
            {port, QString(), QString()}, [] { return true; },
            [&](const QString&, const TryResult& last) {
                worst = WorseOutcome(worst, last.run.outcome);
                if (--running == 0)
                    loop.quit();
            });
    }
    StopSignals::SetSecondStopNote(kSecondStopNote);
    loop.exec();
    StopSignals::SetSecondStopNote(nullptr);
    return worst;
}

} // namespace

int RunFlashCommand(const QStringList& args)
{
    FlashOptions options;
    QString error;
    if (!ParseFlashOptions(args, options, error))
        return UsageError("flash", error);
    if (options.help) {
        std::fputs(FlashUsageText(), stdout);
        return static_cast<int>(ExitCode::Ok);
    }
    if (options.dryRun)
        return PrintFirmware(options.fileName, FirmwareReport::Plan, options.json);
    const std::optional<RecordTarget> recordTarget =
        RecordFromOption(options.record, RecordUse::Write, error);
    if (!recordTarget)
        return UsageError("flash", error);
    if (!options.traceFile.isEmpty() &&
        !FlashTraceLog::MayTrace(options.traceFile, options.fileName, options.ports,
                                 recordTarget->file, error))
        return UsageError("flash", error);

    StopSignals stops;
    OutputQueue console;
    const std::unique_ptr<EventSink> reporter = MakeSink(options, console);

    // The file is loaded once, here, and every port downloads that one firmware.
    const std::shared_ptr<const Firmware> firmware =
        LoadFirmwareForPorts(options.fileName, *reporter);
    if (!firmware->Loaded())
        return EndWithoutFirmware(*firmware, *reporter);
    reporter->Status(QString(), kStatusCalculatingCrc);

    // Opened only now: a trace never touches a file before the firmware has been read.
    std::unique_ptr<FlashTraceLog> trace;
    if (!options.traceFile.isEmpty()) {
        trace = std::make_unique<FlashTraceLog>();
        if (!trace->Open(options.traceFile, error)) {
            console.Write(stderr, QStringLiteral("norvane-flash flash: cannot write the trace "
                                                 "file %1: %2\n")
                                      .arg(VisibleText(options.traceFile), error)
                                      .toLocal8Bit());
            return static_cast<int>(ExitCode::Usage);
        }
    }

    FlashRecord record(*recordTarget, *reporter, *firmware);
    PortRun shared = CommandPortRun(firmware, record, options.retries);
    shared.trace = trace.get();
    const Outcome worst = RunEveryPort(shared, options.ports);

    int exitCode = OutcomeExitCode(worst);
    bool traceWritten = true;
    FinishOutput(stops, exitCode, [&] {
        reporter->Finish();
        console.Close();
        traceWritten = !trace || trace->Close();
    });
    if (!traceWritten && exitCode == 0)
        exitCode = static_cast<int>(ExitCode::OutputFailed);
    return record.End(stops, exitCode);
}
