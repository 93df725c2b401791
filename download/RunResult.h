#pragma once

#include "DownloadPlan.h"
#include "FailureReason.h"
#include "Firmware.h"
#include "LinkQuality.h"
#include "Outcome.h"

#include <QString>

#include <cstdint>
#include <memory>

// A run's outcome with its reason (kind None for a download or a cancel), and the firmware it
// downloaded (null when none was loaded; not loaded when the file could not be used).
struct RunResult
{
    Outcome outcome = Outcome::Downloaded;
    bool verified = false; // the device reported the new application verified
    FailureReason reason;
    std::shared_ptr<const Firmware> firmware;

    // A run that failed so: its outcome is the one the failure leads to.
    static RunResult Failure(const FailureReason& reason);
    // What the user should know of the run: what was checked when it downloaded, else the
    // reason as a sentence.
    QString Detail() const;
};

// One try on one port, as its outcome and its row in the record tell it.
struct TryResult
{
    QString port;
    RunResult run;
    QString detail; // what the user should know, in words
    int tryNumber = 1;
    int stepsDone = 0;
    WireBytes bytes; // counted on the line, both ways
    int64_t elapsedMs = 0;
    LinkQuality link; // how the line behaved in this try
};
