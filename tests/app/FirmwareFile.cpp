#include "FirmwareFile.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray Record(char type, const QByteArray& fields)
{
    uint32_t sum = static_cast<uint8_t>(fields.size() + 1);
    for (char byte : fields)
        sum += static_cast<uint8_t>(byte);
    QByteArray line = QByteArray("S") + type;
    line += QByteArray(1, static_cast<char>(fields.size() + 1)).toHex().toUpper();
    line += fields.toHex().toUpper();
    line += QByteArray(1, static_cast<char>(~sum & 0xFF)).toHex().toUpper();
    return line + "\r\n";
}

} // namespace

uint8_t FirmwareByteAt(int32_t address)
{
    return static_cast<uint8_t>(address * 7 + (address >> 8));
}

void WriteFirmwareFile(const QString& path, const std::vector<FirmwareRange>& ranges)
{
    constexpr int32_t kPerRecord = 32;
    QByteArray text;
    for (const FirmwareRange& range : ranges) {
        for (int32_t at = range.address; at < range.address + range.length; at += kPerRecord) {
            QByteArray fields;
            fields.append(static_cast<char>(at >> 16));
            fields.append(static_cast<char>(at >> 8));
            fields.append(static_cast<char>(at));
            for (int32_t i = 0; i < kPerRecord && at + i < range.address + range.length; ++i)
                fields.append(static_cast<char>(FirmwareByteAt(at + i)));
            text += Record('2', fields);
        }
    }
    text += Record('9', QByteArray(2, '\0'));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}
