#include "StopSignals.h"

#include "StopSignalHandler.h"

#include <QTimer>

#include <csignal>
#include <cstdlib>

namespace {

constexpr int kOutputGraceAfterStopMs = 1000;

std::atomic<int> g_firstSignal{0};
std::atomic<bool> g_requested{false};
static_assert(std::atomic<int>::is_always_lock_free, "used in a signal handler");

} // namespace

bool NoteStopSignal(int signalNumber)
{
    int first = 0;
    if (g_firstSignal.compare_exchange_strong(first, signalNumber))
        return true;
#ifdef SIGHUP
    if (signalNumber == SIGHUP && first == SIGHUP)
        return false;
#endif
    // Ended here rather than on the main thread: that thread may be stuck writing to an output
    // nobody reads (a stalled pipe), and a second Ctrl-C must end even that program.
    std::_Exit(128 + signalNumber);
}

void ForgetStopSignals()
{
    g_firstSignal = 0;
    g_requested = false;
}

const std::atomic<bool>& StopSignals::Requested()
{
    return g_requested;
}

void StopSignals::EndAtOnceOnStop(int exitCode)
{
    if (g_firstSignal == 0) {
        m_exitCodeOnStop = exitCode;
        return;
    }
    // That stop found nothing left to stop: give the output a moment to take what is left,
    // then end as the stop would have a moment later.
    QTimer::singleShot(kOutputGraceAfterStopMs, this, [exitCode] { std::_Exit(exitCode); });
}

void StopSignals::OnStop(int signalNumber)
{
    g_requested = true;
    // At once: a thread still writing output may never return from its write.
    if (m_exitCodeOnStop)
        std::_Exit(*m_exitCodeOnStop);
    emit Stopped(signalNumber);
}
