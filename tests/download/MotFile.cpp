#include "MotFile.h"

#include <QFile>

#include <algorithm>

namespace {

constexpr int32_t kBytesPerRecord = 32;

QByteArray S2Record(int32_t address, const uint8_t* data, int count)
{
    QByteArray bytes;
    bytes.append(static_cast<char>(count + 4));
    bytes.append(static_cast<char>((address >> 16) & 0xFF));
    bytes.append(static_cast<char>((address >> 8) & 0xFF));
    bytes.append(static_cast<char>(address & 0xFF));
    bytes.append(reinterpret_cast<const char*>(data), count);
    unsigned sum = 0;
    for (const char byte : bytes)
        sum += static_cast<uint8_t>(byte);
    bytes.append(static_cast<char>(0xFF - (sum & 0xFF)));
    return "S2" + bytes.toHex().toUpper() + "\r\n";
}

} // namespace

FirmwareImage PatternImage(const std::vector<AddressRange>& ranges)
{
    FirmwareImage image;
    image.fill(0xFF);
    for (const AddressRange& range : ranges) {
        for (int32_t address = range.first; address <= range.last; ++address)
            image[static_cast<size_t>(address)] =
                static_cast<uint8_t>((address * 7 + (address >> 8)) % 251);
    }
    return image;
}

void WriteMotFile(const QString& fileName, const FirmwareImage& image,
                  const std::vector<AddressRange>& ranges)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    for (const AddressRange& range : ranges) {
        for (int32_t address = range.first; address <= range.last; address += kBytesPerRecord) {
            const int count = std::min(kBytesPerRecord, range.last - address + 1);
            file.write(S2Record(address, image.data() + address, count));
        }
    }
    file.write("S9030000FC\r\n");
}
