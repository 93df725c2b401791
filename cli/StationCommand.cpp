// norvane-flash station: flashes every device plugged in while it runs, each port on a
// worker thread of its own, from one loaded firmware file.
#include "Commands.h"

#include "DownloadTexts.h"
#include "EventLoopHost.h"
#include "FirmwareFile.h"
#include "FlashJob.h"
#include "FlashSignals.h"
#include "InterruptNotifier.h"
#include "PortWatcher.h"
#include "Station.h"
#include "StationJson.h"
#include "StationLog.h"
#include "StationOptions.h"
#include "StationTable.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<StationReporter> MakeReporter(const StationOptions& options)
{
    if (options.json)
        return std::make_unique<StationJson>();
    if (IsLiveTerminal(stdout))
        return std::make_unique<StationTable>(stdout, stderr);
    return std::make_unique<StationLog>(stdout, stderr);
}

// The file could not be used: the station ends before it watches anything.
int EndWithUnusableFile(StationReporter& reporter, const MessageBoxText& box, const QString& detail)
{
    reporter.Message(QString(), box);
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
    const std::unique_ptr<StationReporter> reporter = MakeReporter(options);

    // The file is loaded and checked once; every device gets that one image.
    reporter->Status(QString(), kStatusLoadingFile);
    EventLoopHost host;
    auto image = std::make_unique<FirmwareImage>();
    FlashJob job;
    job.fileName = options.fileName;
    job.reporter = reporter.get();
    LoadProblem problem;
    switch (LoadFirmwareFile(options.fileName, *image, job.startAddr, job.endAddr, host,
                             StopRequested(), &problem)) {
    case FirmwareFileResult::Missing:
        return EndWithUnusableFile(
            *reporter, FileMissingBox(),
            UnusableFileDetail(options.fileName, FirmwareFileResult::Missing, problem));
    case FirmwareFileResult::NotUsable:
        return EndWithUnusableFile(
            *reporter, BadFileBox(options.fileName),
            UnusableFileDetail(options.fileName, FirmwareFileResult::NotUsable, problem));
    case FirmwareFileResult::Cancelled:
        return static_cast<int>(ExitCode::Cancelled);
    case FirmwareFileResult::Loaded:
        break;
    }
    job.image = image.get();
    const FlashTimeLeft timeLeft(PlanDownload(*image, job.startAddr, job.endAddr));
    job.timeLeft = &timeLeft;
    const FlashRecord record(*recordTarget, options.fileName, *image, job.startAddr, job.endAddr);
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
