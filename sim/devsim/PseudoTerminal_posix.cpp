#include "PseudoTerminal.h"

#include "Protocol.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// termios names its speeds by constants of their own; B19200 below is this one.
static_assert(kLineBaud == 19200, "the pseudo-terminal's speed must be the line's");

QString SystemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PseudoTerminal::~PseudoTerminal()
{
    Close();
}

bool PseudoTerminal::Create(QString* error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        *error = SystemError("cannot create a pseudo-terminal");
        Close();
        return false;
    }
    m_devicePath = QString::fromLocal8Bit(ptsname(m_master));
    m_heldTerminal = ::open(ptsname(m_master), O_RDWR | O_NOCTTY);
    termios settings{};
    if (m_heldTerminal < 0 || tcgetattr(m_heldTerminal, &settings) != 0) {
        *error = SystemError("cannot set up the pseudo-terminal");
        Close();
        return false;
    }
    // Raw 8-bit both ways: no echo, no line editing, no character translation.
    cfmakeraw(&settings);
    cfsetispeed(&settings, B19200);
    cfsetospeed(&settings, B19200);
    tcsetattr(m_heldTerminal, TCSANOW, &settings);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    return true;
}

void PseudoTerminal::Close()
{
    if (m_heldTerminal >= 0)
        ::close(m_heldTerminal);
    if (m_master >= 0)
        ::close(m_master);
    m_heldTerminal = -1;
    m_master = -1;
}
