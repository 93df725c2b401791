#include "FlashInterrupt.h"

#include <csignal>

namespace {

std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void OnInterrupt(int)
{
    g_interrupted = true;
    // The next Ctrl-C ends the program at once.
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

void InstallInterruptHandler()
{
    std::signal(SIGINT, OnInterrupt);
}

const std::atomic<bool>& Interrupted()
{
    return g_interrupted;
}
