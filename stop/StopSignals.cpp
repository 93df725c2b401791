#include "StopSignals.h"

#include "StopSignalHandler.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <cstdlib>

namespace {

constexpr int kOutputGraceAfterStopMs = 1000;

std::atomic<int> g_firstSignal{0};
std::atomic<bool> g_requested{false};
std::atomic<const char*> g_secondStopNote{nullptr};
static_assert(std::atomic<int>::is_always_lock_free, "used in a signal handler");
static_assert(std::atomic<const char*>::is_always_lock_free, "used in a signal handler");

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
    if (const char* note = g_secondStopNote)
        WriteFromSignalHandler(note);
    std::_Exit(128 + signalNumber);
}

void ForgetStopSignals()
{
    g_firstSignal = 0;
    g_requested = false;
    g_secondStopNote = nullptr;
}

void StopSignals::SetSecondStopNote(const char* note)
{
    g_secondStopNote = note;
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

void StopSignals::EndAtOnceOnStopWhile(int exitCode, const std::function<void()>& ending)
{
    EndAtOnceOnStop(exitCode);
    // Off this thread: a reader that takes no more output would hold it, and it must stay
    // free to take the stop that ends the wait.
    const std::unique_ptr<QThread> thread(QThread::create(ending));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();
}

void StopSignals::OnStop(int signalNumber)
{
    g_requested = true;
    // At once: a thread still writing output may never return from its write.
    if (m_exitCodeOnStop)
        std::_Exit(*m_exitCodeOnStop);
    emit Stopped(signalNumber);
}
