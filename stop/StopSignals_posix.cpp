#include "StopSignals.h"

#include "StopSignalHandler.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array kStopSignals{SIGINT, SIGTERM, SIGHUP};

std::atomic<int> g_wakeFd{-1}; // the write end of the pipe to the main thread

extern "C" void OnStopSignal(int signalNumber)
{
    if (!NoteStopSignal(signalNumber))
        return;
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = write(g_wakeFd, &byte, 1);
    errno = savedErrno;
}

} // namespace

void WriteFromSignalHandler(const char* text)
{
    // write(2) and strlen are safe in a signal handler; stdio is not.
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, text, std::strlen(text));
}

struct StopSignals::Private
{
    int pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
    std::array<struct sigaction, kStopSignals.size()> previous{};
};

StopSignals::StopSignals(QObject* parent) : QObject(parent), m_private(std::make_unique<Private>())
{
    ForgetStopSignals();
    Private& d = *m_private;
    if (::pipe(d.pipe) != 0)
        return; // the signals keep their default: each ends the program
    for (const int fd : d.pipe) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    g_wakeFd = d.pipe[1];
    d.notifier = std::make_unique<QSocketNotifier>(d.pipe[0], QSocketNotifier::Read);
    connect(d.notifier.get(), &QSocketNotifier::activated, this, [this] {
        unsigned char signalNumber = 0;
        while (read(m_private->pipe[0], &signalNumber, 1) == 1)
            OnStop(signalNumber);
    });
    struct sigaction action
    {
    };
    action.sa_handler = OnStopSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < kStopSignals.size(); ++i)
        sigaction(kStopSignals[i], &action, &d.previous[i]);
}

StopSignals::~StopSignals()
{
    Private& d = *m_private;
    if (!d.notifier)
        return;
    for (size_t i = 0; i < kStopSignals.size(); ++i)
        sigaction(kStopSignals[i], &d.previous[i], nullptr);
    d.notifier.reset();
    g_wakeFd = -1;
    for (const int fd : d.pipe)
        close(fd);
}
