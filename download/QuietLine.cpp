#include "QuietLine.h"

#include "Deadline.h"

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
        host.ProcessEvents(std::min(quiet->Remaining(), limit.Remaining()));
    }
    port.DiscardInput();
    return !stop;
}
