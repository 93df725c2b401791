#include "PtyDeviceServer.h"

#include <QTimer>

#include <cerrno>
#include <unistd.h>

PtyDeviceServer::PtyDeviceServer(PseudoTerminal& terminal, VirtualDevice& device,
                                 std::function<void()> onLineClosed)
    : m_terminal(terminal), m_device(device),
      m_reader(std::make_unique<QSocketNotifier>(terminal.MasterFd(), QSocketNotifier::Read))
{
    QObject::connect(m_reader.get(), &QSocketNotifier::activated, [this] { ReadFromHost(); });
    m_device.SetTransmitSink([this](const QByteArray& bytes) { WriteToHost(bytes); });
    m_device.SetLineClosedSink([this, onLineClosed = std::move(onLineClosed)] {
        m_reader->setEnabled(false);
        m_terminal.Close();
        // Leaves the device's own call chain before the owner tears things down.
        QTimer::singleShot(0, onLineClosed);
    });
}

void PtyDeviceServer::ReadFromHost()
{
    uint8_t buffer[512];
    while (m_terminal.MasterFd() >= 0) {
        const ssize_t count = ::read(m_terminal.MasterFd(), buffer, sizeof buffer);
        if (count <= 0)
            return; // drained (EAGAIN), or nothing to read while no host has the line open
        m_device.Receive(buffer, static_cast<int>(count));
    }
}

void PtyDeviceServer::WriteToHost(const QByteArray& bytes)
{
    const int fd = m_terminal.MasterFd();
    qsizetype written = 0;
    while (fd >= 0 && written < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.constData() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return; // the terminal's queue is full: like a line nobody listens on, bytes are lost
        written += count;
    }
}
