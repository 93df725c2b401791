#include "FlashTries.h"

#include "FlashSignals.h"

FlashSummary RunFlashJobWithRetries(const FlashJob& job, int retries,
                                    const std::function<bool()>& keepTrying)
{
    FlashSummary summary = RunFlashJob(job);
    for (int retry = 1; retry <= retries && FailedOnTheLine(summary); ++retry) {
        if (StopRequested() || !keepTrying())
            break;
        job.reporter->Status(job.port, QStringLiteral("Trying again from the beginning (try %1 "
                                                      "of %2)")
                                           .arg(retry + 1)
                                           .arg(retries + 1));
        summary = RunFlashJob(job);
    }
    return summary;
}

bool FailedOnTheLine(const FlashSummary& summary)
{
    return summary.exitCode == ExitCode::DownloadFailed ||
           summary.exitCode == ExitCode::BootloaderNotStarted;
}
