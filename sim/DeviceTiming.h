#pragma once

#include "Protocol.h"

#include <cstdint>

// How long the virtual device takes for what it does, in microseconds.
struct DeviceTiming
{
    int64_t handoverMicros = 200'000;    // from "# 017b" until the bootloader listens
    int64_t replyLatencyMicros = 500;    // from a complete request to its first reply
    int64_t eraseBaseMicros = 10'000;    // erasing a block: base time ...
    int64_t eraseMicrosPerKiB = 1'500;   // ... plus this per KiB of the block
    int64_t programMicrosPer128 = 1'500; // programming 128 bytes (also the header)
    int64_t verifyMicros = 20'000;       // checking the image against the header
    int64_t silenceMicros = 100'000;     // silence after which a cut-short frame is dropped
    bool pace = false;                   // bytes take their time on the wire, both ways
    // Every reply reaches the host this much later, as through a USB-serial adapter that holds
    // received bytes back until its latency timer runs out (16 ms by default on many).
    int64_t adapterLatencyMicros = 0;

    // One byte on the line, rounded to the nearest microsecond (521 at 19200 baud).
    static constexpr int64_t kByteMicros =
        (int64_t{1'000'000} * kLineBitsPerByte + kLineBaud / 2) / kLineBaud;

    int64_t EraseMicros(int32_t blockBytes) const
    {
        return eraseBaseMicros + eraseMicrosPerKiB * (blockBytes / 1024);
    }
};
