#pragma once

#include "DownloadPlan.h"

#include <cstdint>
#include <vector>

// Estimates the time a download still needs from the bytes its plan has still to send and
// receive, so that blank steps, which send nothing, do not throw it off.
class TimeLeft
{
public:
    explicit TimeLeft(const DownloadPlan& plan);

    // After stepsDone steps that took elapsedMs: at the pace so far, or at the line's own
    // pace while nothing has been sent yet.
    int64_t RemainingMs(int stepsDone, int64_t elapsedMs) const;

private:
    std::vector<int64_t> m_bytesThroughStep; // both ways, from the first step to step i
    int64_t m_totalBytes = 0;                // with the header and the verify report
};
