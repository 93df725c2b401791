// norvane-flash station: flashes every device plugged in while it runs, each port on a
// worker thread of its own, from one loaded firmware file.
#include "Commands.h"

#include "CommandRun.h"
#include "FlashRecord.h"
#include "JsonLineSink.h"
#include "LiveTableSink.h"
#include "PlainLineSink.h"
#include "PortWatcher.h"
#include "RecordOption.h"
#include "Station.h"
#include "StationOptions.h"
#include "StopSignals.h"
#include "Terminal.h"
#include "ThreadedPortRunner.h"

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
    const std::optional<RecordTarget> recordTarget =
        RecordFromOption(options.record, RecordUse::Write, error);
    if (!recordTarget)
        return UsageError("station", error);

    StopSignals stops;
    OutputQueue console;
    const std::unique_ptr<EventSink> reporter = MakeSink(options, console);

    // The file is loaded and checked once; every device gets that one firmware.
    const std::shared_ptr<const Firmware> firmware =
        LoadFirmwareForPorts(options.fileName, *reporter);
    if (!firmware->Loaded())
        return EndWithoutFirmware(*firmware, *reporter);
    FlashRecord record(*recordTarget, *reporter, *firmware);
    ThreadedPortRunner runner(CommandPortRun(firmware, record, options.retries));

    PortWatcher watcher(options.watchDir);
    Station station({options.jobs, options.includePresent}, *reporter, runner);
    QObject::connect(&watcher, &PortWatcher::Appeared, &station, &Station::PortAppeared);
    QObject::connect(&watcher, &PortWatcher::Disappeared, &station, &Station::PortDisappeared);
    QObject::connect(&stops, &StopSignals::Stopped, &station, [&] {
        watcher.Stop();
        station.Stop();
    });
    QObject::connect(&station, &Station::Finished, &station, [&](int exitCode) {
        FinishOutput(stops, exitCode, [&console] { console.Close(); });
        QCoreApplication::exit(exitCode);
    });
    // A device may be downloaded at any time from here on.
    StopSignals::SetSecondStopNote(kSecondStopNote);
    watcher.Start();
    // Said once the ports there now are known: a port plugged in from here on is new.
    reporter->Watching(watcher.Folder(), watcher.FolderExists());
    return record.End(stops, QCoreApplication::exec());
}
