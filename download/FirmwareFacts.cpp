#include "FirmwareFacts.h"

#include "Hex.h"
#include "Protocol.h"

QString FirmwareCrcText(const Firmware& firmware)
{
    return QStringLiteral("File: CRC - %1h")
        .arg(QString::fromStdString(FormatHex(firmware.crc, 4)));
}

QString FirmwareStepsText(const Firmware& firmware)
{
    return QStringLiteral("%1 of 128 bytes, %2 non-blank")
        .arg(firmware.plan.stepCount)
        .arg(firmware.plan.programSteps);
}

QString FirmwareLeastTimeText(const Firmware& firmware)
{
    const int64_t wireBytes = firmware.plan.Total().Total();
    return QStringLiteral("at least %1 s at 19200 baud (%2 bytes on the wire)")
        .arg(LineSeconds(wireBytes), 0, 'f', 1)
        .arg(wireBytes);
}
