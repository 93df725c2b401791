#pragma once

#include "DownloadView.h"

#include <QString>

#include <cstdint>

// The words a download shows: status line texts, panel 2 texts and the message boxes.
// The window and the command line show exactly these.

inline const QString kStatusLoadingFile = QStringLiteral("Loading the firmware file...");
inline const QString kStatusCalculatingCrc = QStringLiteral("Calculating CRC...");
inline const QString kStatusStartingBootloader =
    QStringLiteral("Attempting to start BootLoader...");
inline const QString kStatusGeneratingCrc =
    QStringLiteral("Downloading firmware - Generating CRC...");
inline const QString kStatusProgrammingHeader =
    QStringLiteral("Downloading firmware - Programming header...");
inline const QString kStatusVerifying =
    QStringLiteral("Downloading firmware - Verifying downloading firmware...");
inline const QString kStatusDownloadError = QStringLiteral("Firmware download error!");
inline const QString kStatusDownloadCanceled = QStringLiteral("Firmware download canceled!");

inline const QString kFileStateNotLoaded = QStringLiteral("File: Not Loaded");

// The CRC as the user sees it: four upper-case hexadecimal digits.
QString CrcText(int16_t crc);

QString
ProgrammingStatus(int16_t crc); // "Downloading firmware (CRC - XXXXh) - Programming device..."
QString DownloadedStatus(int16_t crc); // "Firmware downloaded OK! (CRC - XXXXh)"
QString FileStateLoaded(int16_t crc);  // "File: CRC - XXXXh"

MessageBoxText FileMissingBox();
MessageBoxText BadFileBox(const QString& fileName);
// The detail, when given, is the reason in a sentence.
MessageBoxText BootloaderBox(const QString& detail = QString());
MessageBoxText DownloadErrorBox(const QString& detail = QString());
// Asked when a cancel is pending during programming, and by the window's close handler while
// a download runs.
MessageBoxText QuitQuestion();
