#include "CommandFirmware.h"

#include "DownloadTexts.h"
#include "EventLoopHost.h"
#include "StopSignals.h"

std::shared_ptr<const Firmware> LoadFirmwareForPorts(const QString& fileName, EventSink& reporter)
{
    reporter.Status(QString(), kStatusLoadingFile);
    EventLoopHost host;
    std::shared_ptr<const Firmware> firmware =
        LoadFirmware(fileName, host, StopSignals::Requested());
    switch (firmware->state) {
    case Firmware::State::Loaded:
    case Firmware::State::Cancelled:
        return firmware;
    case Firmware::State::Missing:
        reporter.Message(QString(), FileMissingBox());
        break;
    case Firmware::State::NotUsable:
        reporter.Message(QString(), BadFileBox(fileName));
        break;
    }
    TryResult result;
    result.run = RunResult::Failure(firmware->Failure());
    result.run.firmware = firmware;
    result.detail = firmware->ProblemText();
    reporter.Outcome(result);
    return firmware;
}
