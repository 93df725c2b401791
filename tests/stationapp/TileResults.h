#pragma once

#include "RunResult.h"

#include <QString>

// Tries as a station's port reports them, for the tiles' and the figures' tests.

inline TryResult DownloadedTry(const QString& port, int tryNumber, int64_t elapsedMs)
{
    TryResult result;
    result.port = port;
    result.tryNumber = tryNumber;
    result.elapsedMs = elapsedMs;
    result.run.verified = true;
    result.detail = result.run.Detail();
    return result;
}

inline TryResult FailedTry(const QString& port, int tryNumber, FailureKind kind)
{
    TryResult result;
    result.port = port;
    result.tryNumber = tryNumber;
    result.elapsedMs = 5000;
    result.run = RunResult::Failure(FailureReason{kind});
    result.detail = result.run.Detail();
    return result;
}

inline TryResult StoppedTry(const QString& port)
{
    TryResult result;
    result.port = port;
    result.run.outcome = Outcome::Cancelled;
    return result;
}
