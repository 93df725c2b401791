#pragma once

#include "Firmware.h"

#include <QString>

// The words in which norvane-flash info and the station window describe a loaded firmware
// file, so both say the same of it.

// "File: CRC - 1A2Bh": the CRC as the upgrader's window shows it.
QString FirmwareCrcText(const Firmware& firmware);
// "1920 of 128 bytes, 1850 non-blank"
QString FirmwareStepsText(const Firmware& firmware);
// "at least 123.4 s at 19200 baud (237056 bytes on the wire)"
QString FirmwareLeastTimeText(const Firmware& firmware);
