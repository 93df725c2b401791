#pragma once

#include "DownloadPlan.h"

#include <vector>

// After which steps a port's run reports its progress: after every step that sends a command,
// and once after each run of blank steps, as it ends. A sparse image thus gives a few reports
// instead of one per 128 bytes of empty flash; the window, which shows every step, does not
// read these.
class ProgressReports
{
public:
    explicit ProgressReports(const DownloadPlan& plan);

    // True when the progress after stepsDone steps is reported: the start (0), a step that
    // sends, the last blank step before one that sends, and the last step.
    bool Due(int stepsDone) const;

private:
    std::vector<bool> m_sends; // per step, from the first: the step sends a command
};
