#pragma once

#include "PseudoTerminal.h"
#include "VirtualDevice.h"

#include <QSocketNotifier>

#include <functional>
#include <memory>

// Connects the virtual device to the master side of a pseudo-terminal: what the host writes
// reaches the device, what the device sends is written back. When the device closes the line
// (a pulled cable), the pseudo-terminal is closed and onLineClosed is called.
class PtyDeviceServer
{
public:
    PtyDeviceServer(PseudoTerminal& terminal, VirtualDevice& device,
                    std::function<void()> onLineClosed);

private:
    void ReadFromHost();
    void WriteToHost(const QByteArray& bytes);

    PseudoTerminal& m_terminal;
    VirtualDevice& m_device;
    std::unique_ptr<QSocketNotifier> m_reader;
};
