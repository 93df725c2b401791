#include "FlashSignals.h"

#include <csignal>
#include <cstdlib>

namespace {

std::atomic<bool> g_stopRequested{false};
std::atomic<int> g_firstSignal{0};
std::atomic<int> g_exitCodeOnStop{-1}; // -1: the first signal stops the runs
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "set from a signal handler");

extern "C" void OnStopSignal(int number)
{
    int first = 0;
    if (g_firstSignal.compare_exchange_strong(first, number)) {
        if (const int exitCode = g_exitCodeOnStop; exitCode >= 0)
            std::_Exit(exitCode);
        g_stopRequested = true;
        return;
    }
#ifdef SIGHUP
    if (number == SIGHUP && first == SIGHUP)
        return;
#endif
    std::_Exit(128 + number);
}

} // namespace

void InstallStopSignals()
{
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
#ifdef SIGHUP
    std::signal(SIGHUP, OnStopSignal);
#endif
}

const std::atomic<bool>& StopRequested()
{
    return g_stopRequested;
}

void EndAtOnceOnStop(int exitCode)
{
    g_exitCodeOnStop = exitCode;
}
