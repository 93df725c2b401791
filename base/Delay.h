#pragma once

#include "Host.h"

#include <cstdint>

// Waits the given number of milliseconds while the host keeps dispatching events; yields at
// least once, also for 0. Ends after its time also when the 32-bit tick count wraps meanwhile.
void Delay(Host& host, int32_t ms);
