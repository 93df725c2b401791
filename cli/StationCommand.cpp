// norvane-flash station: flashes every device plugged in while it runs, each port on a
// worker thread of its own, from one loaded firmware file.
#include "Commands.h"

#include "FirmwareFile.h"
#include "FlashJob.h"
#include "FlashSignals.h"
#include "InterruptNotifier.h"
#include "JsonLineSink.h"
#include "LiveTableSink.h"
#include "PlainLineSink.h"
#include "PortWatcher.h"
#include "Station.h"
#include "StationOptions.h"
#include "Terminal.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<EventSink> MakeSink(const StationOptions& options, OutputQueue& out)
{
    if (options.json)
        return std::make_unique<JsonLineSink>(out, stdout);
    if (IsLiveTerminal(stdout))
        return std::make_unique<LiveTableSink>(out, stdout);
    return std::make_unique<PlainLineSink>(out, stdout, stderr, PlainLineStyle{true, true, {}});
}

// The file could not be used: the station ends before it watches anything.
int EndWithUnusableFile(EventSink& reporter, const QString& detail)
{
    reporter.Outcome({QString(), ExitCode::FileNotUsable, detail, false, 0, {}});
    reporter.Finish();
    return static_cast<int>(ExitCode::FileNotUsable);
}

} // namespace

int RunStationCommand(const QStringList& args)
{
    StationOptions options;
    QString error;
    if (!ParseStationOptions(args, options, error))
        return UsageError("station", error);
    if (options.help) {
        std::fputs(StationUsageText(), stdout);
        return static_cast<int>(ExitCode::Ok);
    }

    const QFileInfo watched(options.watchDir);
    if (watched.exists() && !watched.isDir())
        return UsageError("station", options.watchDir + QStringLiteral(" is not a folder"));
    const std::optional<RecordTarget> recordTarget = ParseRecordTarget(options.record, error);
    if (!recordTarget)
        return UsageError("station", error);

    InstallStopSignals();
    OutputQueue console;
    const std::unique_ptr<EventSink> reporter = MakeSink(options, console);

    // The file is loaded and checked once; every device gets that one image.
    const LoadedFirmware firmware = LoadFirmwareForPorts(options.fileName, *reporter);
    if (firmware.result == FirmwareFileResult::Cancelled)
        return static_cast<int>(ExitCode::Cancelled);
    if (firmware.result != FirmwareFileResult::Loaded)
        return EndWithUnusableFile(*reporter, firmware.detail);
    FlashJob job;
    job.fileName = options.fileName;
    job.reporter = reporter.get();
    job.image = firmware.image.get();
    job.startAddr = firmware.startAddr;
    job.endAddr = firmware.endAddr;
    const FlashTimeLeft timeLeft(PlanDownload(*job.image, job.startAddr, job.endAddr));
    job.timeLeft = &timeLeft;
    const FlashRecord record(*recordTarget, options.fileName, *job.image, job.startAddr,
                             job.endAddr);
    job.record = &record;

    PortWatcher watcher(options.watchDir);
    Station station({options.jobs, options.retries, options.includePresent}, job, *reporter,
                    watcher);
    InterruptNotifier interrupts;
    QObject::connect(&interrupts, &InterruptNotifier::Interrupted, &station, &Station::Stop);
    QObject::connect(&station, &Station::Finished, &station,
                     [](int exitCode) { QCoreApplication::exit(exitCode); });
    station.Start();
    return QCoreApplication::exec();
}
