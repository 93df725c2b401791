#pragma once

#include "FirmwareImage.h"

#include <cstdint>
#include <vector>

// Estimates the time a download still needs from the bytes it has still to send and receive,
// so that blank steps, which send nothing, do not throw it off.
class FlashTimeLeft
{
public:
    FlashTimeLeft(const FirmwareImage& image, int32_t startAddr, int32_t endAddr);

    // After stepsDone steps that took elapsedMs: at the pace so far, or at the line's own
    // pace while nothing has been sent yet.
    int64_t RemainingMs(int stepsDone, int64_t elapsedMs) const;

private:
    std::vector<int64_t> m_bytesThroughStep; // bytes both ways from the first step to step i
    int64_t m_totalBytes = 0;                // with the header and the verify report
};
