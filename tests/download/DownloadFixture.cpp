#include "DownloadFixture.h"

#include "Crc16.h"
#include "DownloadTexts.h"

namespace {

int32_t Address24(const QByteArray& bytes, int at)
{
    return (static_cast<uint8_t>(bytes[at]) << 16) | (static_cast<uint8_t>(bytes[at + 1]) << 8) |
           static_cast<uint8_t>(bytes[at + 2]);
}

QString Hex5(int32_t value)
{
    return QStringLiteral("%1").arg(value, 5, 16, QLatin1Char('0')).toUpper();
}

QString Describe(const QByteArray& packet)
{
    const int block = static_cast<uint8_t>(packet[3]) + 1;
    switch (static_cast<uint8_t>(packet[2])) {
    case 0x01:
        return QStringLiteral("program ") + Hex5(Address24(packet, 4));
    case 0x02:
        return QStringLiteral("erase %1").arg(block);
    case 0x03:
        return QStringLiteral("erase-program %1 ").arg(static_cast<uint8_t>(packet[8]) + 1) +
               Hex5(Address24(packet, 4));
    case 0x04:
        return QStringLiteral("header ") + Hex5(Address24(packet, 8));
    default:
        return QStringLiteral("unknown");
    }
}

} // namespace

DownloadFixture::DownloadFixture() : engine(std::make_unique<DownloadEngine>(port, host, view)) {}

void DownloadFixture::Connect(const FaultPlan& faults)
{
    device = std::make_unique<VirtualDevice>(host, DeviceTiming{}, faults);
    port.AttachDevice(*device);
    ASSERT_TRUE(port.Open());
}

QString DownloadFixture::MakeFile(const std::vector<AddressRange>& ranges, const QString& name)
{
    image = PatternImage(ranges);
    const QString fileName = dir.filePath(name);
    WriteMotFile(fileName, image, ranges);
    return fileName;
}

QStringList DownloadFixture::Commands() const
{
    QStringList commands;
    for (const TraceFrame& frame : device->Trace()) {
        if (frame.direction == TraceFrame::Direction::In && frame.kind == QLatin1String("packet"))
            commands << Describe(frame.bytes);
    }
    return commands;
}

int DownloadFixture::PollsReceived() const
{
    int polls = 0;
    for (const TraceFrame& frame : device->Trace())
        polls +=
            frame.direction == TraceFrame::Direction::In && frame.kind == QLatin1String("poll");
    return polls;
}

bool DownloadFixture::FlashHolds(const FirmwareImage& expected,
                                 const std::vector<AddressRange>& ranges) const
{
    for (const AddressRange& range : ranges) {
        if (!std::equal(expected.begin() + range.first, expected.begin() + range.last + 1,
                        device->Flash().begin() + range.first))
            return false;
    }
    return true;
}

bool DownloadFixture::FlashBlank(int32_t first, int32_t last) const
{
    return std::all_of(device->Flash().begin() + first, device->Flash().begin() + last + 1,
                       [](uint8_t b) { return b == 0xFF; });
}

QString DownloadFixture::ExpectedCrc(int32_t endAddr) const
{
    return CrcText(static_cast<int16_t>(CalculateCrc(image.data(), kApplicationStart, endAddr)));
}
