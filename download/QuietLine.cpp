#include "QuietLine.h"

#include "Deadline.h"

#include <algorithm>
#include <optional>

bool WaitForQuietLine(SerialPort& port, Host& host, const std::atomic<bool>& stop)
{
    const Deadline limit(host, kQuietLineLimitMs);
    std::optional<Deadline> quiet;
    quiet.emplace(host, kQuietLineMs);
    host.ProcessEvents(0);
    while (!stop && port.IsOpen() && !limit.Expired()) {
        if (port.InBufferCount() > 0) {
            // The device is still talking: what it says belongs to the try before.
            port.DiscardInput();
            quiet.emplace(host, kQuietLineMs);
        } else if (quiet->Expired()) {
            break;
        }
        // Nothing wakes the wait when the stop is raised: it is looked at after each poll's
        // time, as the bootloader start looks at a cancel.
        host.ProcessEvents(std::min({quiet->Remaining(), limit.Remaining(), kPollTimeoutMs}));
    }
    port.DiscardInput();
    return !stop;
}
