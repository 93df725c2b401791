#pragma once

#include "Host.h"
#include "Protocol.h"
#include "SerialPort.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

// A try that failed may leave the device in the middle of its command: erasing, programming,
// verifying, or sending a reply the host no longer reads. The next try waits until the line has
// been quiet this long before it starts the bootloader again. It is the longest silence the
// protocol allows a device that is still working on a command (the wait for the verify report,
// longer than the wait for a packet reply): a device that has sent nothing for that long has,
// by the protocol's own measure, finished or given up.
constexpr int32_t kQuietLineMs = std::max(kReplyTimeoutMs, kVerifyTimeoutMs);

// The wait ends here even if the line never falls quiet (a device that keeps talking): the
// longest a command can run with every reply in time, the four replies of erase-and-program.
constexpr int32_t kQuietLineLimitMs = 4 * kReplyTimeoutMs;

// Waits until no byte has arrived for kQuietLineMs (at most kQuietLineLimitMs), then discards
// what is left in the input. Returns false when the stop came first; it is seen within
// kPollTimeoutMs.
[[nodiscard]] bool WaitForQuietLine(SerialPort& port, Host& host, const std::atomic<bool>& stop);
