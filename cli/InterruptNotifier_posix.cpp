#include "InterruptNotifier.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array kStopSignals{SIGINT, SIGTERM, SIGHUP};

// The write end of the pipe the handler wakes the event loop through, and the handlers it
// passes each signal on to.
int g_wakeFd = -1;
std::array<struct sigaction, kStopSignals.size()> g_previous{};

extern "C" void WakeAndPassOn(int signal, siginfo_t* info, void* context)
{
    const int savedErrno = errno;
    for (size_t i = 0; i < kStopSignals.size(); ++i) {
        if (kStopSignals[i] != signal)
            continue;
        const struct sigaction& previous = g_previous[i];
        if (previous.sa_flags & SA_SIGINFO)
            previous.sa_sigaction(signal, info, context);
        else
            previous.sa_handler(signal);
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(g_wakeFd, &byte, 1);
    errno = savedErrno;
}

} // namespace

struct InterruptNotifier::Private
{
    int pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
    std::array<bool, kStopSignals.size()> chained{};
};

InterruptNotifier::InterruptNotifier(QObject* parent)
    : QObject(parent), m_private(std::make_unique<Private>())
{
    Private& d = *m_private;
    if (::pipe(d.pipe) != 0)
        return;
    for (const int fd : d.pipe)
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    g_wakeFd = d.pipe[1];
    d.notifier = std::make_unique<QSocketNotifier>(d.pipe[0], QSocketNotifier::Read);
    connect(d.notifier.get(), &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (read(m_private->pipe[0], bytes, sizeof bytes) > 0) {
        }
        emit Interrupted();
    });
    // Only signals the program handles itself are chained: the others keep their default.
    for (size_t i = 0; i < kStopSignals.size(); ++i) {
        struct sigaction& previous = g_previous[i];
        if (sigaction(kStopSignals[i], nullptr, &previous) != 0 ||
            (!(previous.sa_flags & SA_SIGINFO) &&
             (previous.sa_handler == SIG_DFL || previous.sa_handler == SIG_IGN)))
            continue;
        struct sigaction wake
        {
        };
        wake.sa_sigaction = WakeAndPassOn;
        wake.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&wake.sa_mask);
        d.chained[i] = sigaction(kStopSignals[i], &wake, nullptr) == 0;
    }
}

InterruptNotifier::~InterruptNotifier()
{
    Private& d = *m_private;
    for (size_t i = 0; i < kStopSignals.size(); ++i) {
        struct sigaction current
        {
        };
        // A handler that reset itself (a second Ctrl-C ends the program) stays as it is.
        if (d.chained[i] && sigaction(kStopSignals[i], nullptr, &current) == 0 &&
            current.sa_sigaction == WakeAndPassOn)
            sigaction(kStopSignals[i], &g_previous[i], nullptr);
    }
    d.notifier.reset();
    g_wakeFd = -1;
    for (const int fd : d.pipe) {
        if (fd >= 0)
            close(fd);
    }
}
