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

#include <QEventLoop>
#include <QThread>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<FlashReporter> MakeReporter(const FlashOptions& options, OutputQueue& out)
{
    if (options.json)
        return MakeJsonReporter(out);
    const bool live = IsLiveTerminal(stdout);
    return MakeLineReporter(options.ports, out, live, live ? TerminalWidth(stdout) : 0);
}

// The file could not be used: every port ends with the same outcome, no port is touched.
int EndEveryPort(FlashReporter& reporter, const QStringList& ports, ExitCode exitCode,
                 const QString& detail, FailureKind reason = FailureKind::None)
{
    for (const QString& port : ports)
        reporter.Outcome({port, exitCode, detail, false, 0, {reason}});
    reporter.Finish();
    return static_cast<int>(exitCode);
}

// Runs the threads to their end while the main thread's event loop goes on, so that it takes
// the stop signals meanwhile.
void RunToTheEnd(const std::vector<std::unique_ptr<QThread>>& threads)
{
    QEventLoop loop;
    size_t running = threads.size();
    for (const auto& thread : threads) {
        QObject::connect(thread.get(), &QThread::finished, &loop, [&] {
            if (--running == 0)
                loop.quit();
        });
        thread->start();
    }
    if (running > 0)
        loop.exec();
    for (const auto& thread : threads)
        thread->wait();
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

    StopSignals stops;
    OutputQueue console;
    const std::unique_ptr<FlashReporter> reporter = MakeReporter(options, console);

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
    }
    RunToTheEnd(workers);

    ExitCode exitCode = ExitCode::Ok;
    for (const FlashSummary& summary : summaries)
        exitCode = WorseOf(exitCode, summary.exitCode);
    // Output not written when a stop ends the waiting for it counts as lost.
    stops.EndAtOnceOnStop(
        static_cast<int>(exitCode == ExitCode::Ok ? ExitCode::OutputFailed : exitCode));
    // Off the main thread: a reader that takes no more output would hold it, and it must stay
    // free to take the stop that ends the wait.
    bool traceWritten = true;
    std::vector<std::unique_ptr<QThread>> ending;
    ending.emplace_back(QThread::create([&] {
        reporter->Finish();
        console.Close();
        traceWritten = !trace || trace->Close();
    }));
    RunToTheEnd(ending);
    if (!traceWritten && exitCode == ExitCode::Ok)
        exitCode = ExitCode::OutputFailed;
    return static_cast<int>(exitCode);
}
