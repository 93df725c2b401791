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
    switch (summary.reason.kind) {
    case FailureKind::NoReply:
    case FailureKind::WrongReply:
    case FailureKind::LineLost:
    case FailureKind::BootloaderNotStarted:
        return true;
    case FailureKind::None:
    case FailureKind::VerifyRefused:
    case FailureKind::NotASerialPort:
    case FailureKind::FileMissing:
    case FailureKind::FileNotUsable:
        break;
    }
    return false;
}
