#pragma once

#include <QString>

// The device end of a pseudo-terminal: the master side, non-blocking, with the terminal in
// raw mode. A descriptor of the terminal side is kept open as well, so that the master keeps
// working while the host closes and reopens its end.
class PseudoTerminal
{
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // False with error set when no pseudo-terminal could be made.
    bool Create(QString* error);
    void Close();

    int MasterFd() const { return m_master; }
    // The path programs open to reach the device, e.g. /dev/pts/3.
    QString DevicePath() const { return m_devicePath; }

private:
    int m_master = -1;
    int m_heldTerminal = -1;
    QString m_devicePath;
};
