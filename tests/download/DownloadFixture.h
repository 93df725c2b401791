#pragma once

#include "DownloadEngine.h"
#include "MotFile.h"
#include "RecordingView.h"
#include "SimulatedPort.h"
#include "VirtualDevice.h"
#include "VirtualHost.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// A whole download in virtual time: the engine on a simulated port wired to the virtual
// device, shown through a recording view.
class DownloadFixture : public ::testing::Test
{
protected:
    DownloadFixture();

    // Attaches a fresh device with the given misbehaviour and opens the port.
    void Connect(const FaultPlan& faults = {});

    // Writes an S-record file holding PatternImage(ranges); remembers that image.
    QString MakeFile(const std::vector<AddressRange>& ranges, const QString& name = "fw.mot");

    bool Run(const QString& fileName) { return engine->Run(fileName); }

    // The packet commands the device received, as "erase 4", "program 03080",
    // "erase-program 1 00000", "header 030FF".
    QStringList Commands() const;
    int PollsReceived() const;
    // True when the device's flash equals the image over every given range.
    bool FlashHolds(const FirmwareImage& image, const std::vector<AddressRange>& ranges) const;
    // True when the device's flash is erased (0xFF) from first to last.
    bool FlashBlank(int32_t first, int32_t last) const;
    // The CRC text the image's application area gives, as the status line shows it.
    QString ExpectedCrc(int32_t endAddr) const;

    VirtualHost host;
    SimulatedPort port{host};
    RecordingView view;
    std::unique_ptr<VirtualDevice> device;
    std::unique_ptr<DownloadEngine> engine;
    QTemporaryDir dir;
    FirmwareImage image{};
};
