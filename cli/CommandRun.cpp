#include "CommandRun.h"

#include "Commands.h"
#include "DownloadTexts.h"
#include "EventLoopHost.h"
#include "QtSerialPort.h"

std::shared_ptr<const Firmware> LoadFirmwareForPorts(const QString& fileName, EventSink& sink)
{
    sink.Status(QString(), kStatusLoadingFile);
    EventLoopHost host;
    return LoadFirmware(fileName, host, StopSignals::Requested());
}

int EndWithoutFirmware(const Firmware& firmware, EventSink& sink)
{
    if (firmware.state == Firmware::State::Cancelled) {
        sink.Finish();
        return OutcomeExitCode(Outcome::Cancelled);
    }
    sink.Message(QString(), firmware.state == Firmware::State::Missing
                                ? FileMissingBox()
                                : BadFileBox(firmware.fileName));
    TryResult result;
    result.run = RunResult::Failure(firmware.Failure());
    result.detail = firmware.ProblemText();
    sink.Outcome(result);
    sink.Finish();
    return OutcomeExitCode(result.run.outcome);
}

PortRun CommandPortRun(std::shared_ptr<const Firmware> firmware, EventSink& sink,
                       const FlashRecord& record, int retries)
{
    PortRun run;
    run.firmware = std::move(firmware);
    run.makePort = [] { return std::make_unique<QtSerialPort>(); };
    run.events = &sink;
    run.stop = &StopSignals::Requested();
    run.retries = retries;
    run.beginTry = [&record, &sink](const QString& port) { return record.BeginTry(port, sink); };
    return run;
}

void FinishOutput(StopSignals& stops, int exitCode, const std::function<void()>& finish)
{
    stops.EndAtOnceOnStopWhile(exitCode == 0 ? static_cast<int>(ExitCode::OutputFailed) : exitCode,
                               finish);
}
