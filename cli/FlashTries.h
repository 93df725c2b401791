#pragma once

#include "FlashJob.h"

#include <functional>

// Runs job, and again from the beginning after a try that failed on the line (no reply, a
// wrong reply, the line lost, the bootloader not answering), up to retries more times while
// keepTrying() holds. A device that refused the new firmware, a cancel and a port that cannot
// be opened end it at once. Every try reports its own outcome; returns the last one's.
FlashSummary RunFlashJobWithRetries(const FlashJob& job, int retries,
                                    const std::function<bool()>& keepTrying);

// Whether a try that ended so is worth starting again.
bool FailedOnTheLine(const FlashSummary& summary);
