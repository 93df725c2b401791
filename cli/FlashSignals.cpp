#include "FlashSignals.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

namespace {

constexpr std::chrono::seconds kOutputGraceAfterStop{1};

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
    // A stop that came while the runs were ending found nothing left to stop, and no second
    // signal may follow: give the output a moment to take what is left, then end as that stop
    // would have if it had come a moment later.
    if (exitCode >= 0 && g_firstSignal != 0) {
        std::thread([] {
            std::this_thread::sleep_for(kOutputGraceAfterStop);
            if (const int code = g_exitCodeOnStop; code >= 0)
                std::_Exit(code);
        }).detach();
    }
}
