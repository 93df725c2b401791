#include "DownloadTexts.h"

#include "DownloadView.h"
#include "Hex.h"

namespace {
const QString kLineBreak = QStringLiteral("\r\n");
const QString kDownloadErrorTitle = QStringLiteral("Firmware Download Error");
} // namespace

QString CrcText(int16_t crc)
{
    return QString::fromStdString(FormatHex(static_cast<uint16_t>(crc), 4));
}

QString ProgrammingStatus(int16_t crc)
{
    return QStringLiteral("Downloading firmware (CRC - ") + CrcText(crc) +
           QStringLiteral("h) - Programming device...");
}

QString DownloadedStatus(int16_t crc)
{
    return QStringLiteral("Firmware downloaded OK! (CRC - ") + CrcText(crc) + QStringLiteral("h)");
}

QString FileStateLoaded(int16_t crc)
{
    return QStringLiteral("File: CRC - ") + CrcText(crc) + QStringLiteral("h");
}

MessageBoxText FileMissingBox()
{
    return {QStringLiteral("The specified firmware file does not exist!"), MessageKind::Error,
            QStringLiteral("File Not Found"), QString()};
}

MessageBoxText BadFileBox(const QString& fileName)
{
    return {fileName + kLineBreak + QStringLiteral("could not be loaded.") + kLineBreak +
                kLineBreak + QStringLiteral("Ensure that it is a valid S-Record firmware file."),
            MessageKind::Information, QStringLiteral("S-Record Error"), QString()};
}

MessageBoxText BootloaderBox(const QString& detail)
{
    return {QStringLiteral("Could not start the Bootloader!"), MessageKind::Warning,
            kDownloadErrorTitle, detail};
}

MessageBoxText DownloadErrorBox(const QString& detail)
{
    return {QStringLiteral("Error occured while downloading firmware."), MessageKind::Warning,
            kDownloadErrorTitle, detail};
}

MessageBoxText QuitQuestion()
{
    return {QStringLiteral("Firmware is being downloaded.") + kLineBreak + kLineBreak +
                QStringLiteral("Are you sure you want to quit?"),
            MessageKind::YesNo, QString(), QString()};
}
