#include "StopSignals.h"

#include "StopSignalHandler.h"

#include <QTimer>

#include <csignal>
#include <cstdio>

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM};
constexpr int kLookIntervalMs = 200;

std::atomic<int> g_pendingSignal{0};

extern "C" void OnStopSignal(int signalNumber)
{
    std::signal(signalNumber, OnStopSignal); // the C runtime resets a handler before a call
    if (NoteStopSignal(signalNumber))
        g_pendingSignal = signalNumber;
}

} // namespace

void WriteFromSignalHandler(const char* text)
{
    // The C runtime here runs a handler on a thread of its own, where stdio is safe.
    std::fputs(text, stderr);
    std::fflush(stderr);
}

// Without a pipe that wakes the event loop from a signal handler, the main thread looks for
// a stop a few times a second.
struct StopSignals::Private
{
    QTimer timer;
};

StopSignals::StopSignals(QObject* parent) : QObject(parent), m_private(std::make_unique<Private>())
{
    ForgetStopSignals();
    g_pendingSignal = 0;
    connect(&m_private->timer, &QTimer::timeout, this, [this] {
        if (const int signalNumber = g_pendingSignal.exchange(0))
            OnStop(signalNumber);
    });
    m_private->timer.start(kLookIntervalMs);
    for (const int signalNumber : kStopSignals)
        std::signal(signalNumber, OnStopSignal);
}

StopSignals::~StopSignals()
{
    for (const int signalNumber : kStopSignals)
        std::signal(signalNumber, SIG_DFL);
}
