#include "Delay.h"

#include "Deadline.h"

void Delay(Host& host, int32_t ms)
{
    const Deadline deadline(host, ms);
    do {
        // The remaining time lets a real host sleep until an event or the deadline.
        host.ProcessEvents(deadline.Remaining());
    } while (!deadline.Expired());
}
