// norvane-flash flash: downloads one firmware file into the devices on one or several ports
// at once, each port on a worker thread of its own.
#include "Commands.h"

#include "DownloadTexts.h"
#include "FirmwareFile.h"
#include "FlashJob.h"
#include "FlashOptions.h"
#include "FlashPlanPrinter.h"
#include "FlashSignals.h"
#include "FlashTries.h"
#include "JsonLineSink.h"
#include "LiveTableSink.h"
#include "PlainLineSink.h"
#include "Terminal.h"

#include <QThread>

#include <cstdio>
#include <memory>
#include <vector>

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

// The file could not be used: every port ends with the same outcome, no port is touched.
int EndEveryPort(EventSink& reporter, const QStringList& ports, ExitCode exitCode,
                 const QString& detail, FailureKind reason = FailureKind::None)
{
    for (const QString& port : ports)
        reporter.Outcome({port, exitCode, detail, false, 0, {reason}});
    reporter.Finish();
    return static_cast<int>(exitCode);
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
        return PrintDownloadPlan(options.fileName, options.json);
    if (!options.traceFile.isEmpty() &&
        !FlashTraceLog::MayTrace(options.traceFile, options.fileName, options.ports, error))
        return UsageError("flash", error);
    const std::optional<RecordTarget> recordTarget = ParseRecordTarget(options.record, error);
    if (!recordTarget)
        return UsageError("flash", error);

    InstallStopSignals();
    OutputQueue console;
    const std::unique_ptr<EventSink> reporter = MakeSink(options, console);

    // The file is loaded once, here, and every port downloads that one image.
    const LoadedFirmware firmware = LoadFirmwareForPorts(options.fileName, *reporter);
    switch (firmware.result) {
    case FirmwareFileResult::Missing:
        return EndEveryPort(*reporter, options.ports, ExitCode::FileNotUsable, firmware.detail,
                            FailureKind::FileMissing);
    case FirmwareFileResult::NotUsable:
        return EndEveryPort(*reporter, options.ports, ExitCode::FileNotUsable, firmware.detail,
                            FailureKind::FileNotUsable);
    case FirmwareFileResult::Cancelled:
        return EndEveryPort(*reporter, options.ports, ExitCode::Cancelled, QString());
    case FirmwareFileResult::Loaded:
        break;
    }
    reporter->Status(QString(), kStatusCalculatingCrc);

    // Opened only now: a trace never touches a file before the firmware has been read.
    std::unique_ptr<FlashTraceLog> trace;
    if (!options.traceFile.isEmpty()) {
        trace = std::make_unique<FlashTraceLog>();
        if (!trace->Open(options.traceFile, error)) {
            console.Write(stderr, QStringLiteral("norvane-flash flash: cannot write the trace "
                                                 "file %1: %2\n")
                                      .arg(options.traceFile, error)
                                      .toLocal8Bit());
            return static_cast<int>(ExitCode::Usage);
        }
    }

    const FlashTimeLeft timeLeft(
        PlanDownload(*firmware.image, firmware.startAddr, firmware.endAddr));
    const FlashRecord record(*recordTarget, options.fileName, *firmware.image, firmware.startAddr,
                             firmware.endAddr);
    std::vector<FlashSummary> summaries(static_cast<size_t>(options.ports.size()));
    std::vector<std::unique_ptr<QThread>> workers;
    for (qsizetype i = 0; i < options.ports.size(); ++i) {
        const FlashJob job{options.ports[i], firmware.image.get(), firmware.startAddr,
                           firmware.endAddr, options.fileName,     &timeLeft,
                           reporter.get(),   trace.get(),          &record};
        FlashSummary* result = &summaries[static_cast<size_t>(i)];
        const int retries = options.retries;
        workers.emplace_back(QThread::create([job, result, retries] {
            *result = RunFlashJobWithRetries(job, retries, [] { return true; });
        }));
        reporter->Started(job.port);
        workers.back()->start();
    }
    for (const auto& worker : workers)
        worker->wait();

    ExitCode exitCode = ExitCode::Ok;
    for (const FlashSummary& summary : summaries)
        exitCode = WorseOf(exitCode, summary.exitCode);
    // Output not written when a stop ends the waiting for it counts as lost.
    EndAtOnceOnStop(static_cast<int>(exitCode == ExitCode::Ok ? ExitCode::OutputFailed : exitCode));
    reporter->Finish();
    console.Close();
    if (trace && !trace->Close() && exitCode == ExitCode::Ok)
        exitCode = ExitCode::OutputFailed;
    EndAtOnceOnStop(-1);
    return static_cast<int>(exitCode);
}
