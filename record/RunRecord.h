#pragma once

#include "DownloadEngine.h"
#include "DownloadPlan.h"
#include "DownloadRecord.h"

#include <QString>

#include <cstdint>

// The row of one download, made by whichever program ran it.

// Starts the row as the download starts: its id and start time, this station and user, the
// program and its version, the port as named and the device it reached (a link is followed),
// the USB adapter behind it, and the firmware file with its SHA-256.
DownloadRecord BeginRecord(const QString& port, const QString& devicePath,
                           const QString& firmwareFile, const QString& firmwareSha256);

// The image being downloaded: its CRC, its range, the steps of its plan and whether a header
// is due.
void RecordImage(DownloadRecord& record, int16_t crc, const DownloadPlan& plan);

// How a run of the engine ended, in the names and exit codes of norvane-flash; the detail is
// the reason in words, or what was checked when it downloaded.
void RecordRunEnd(DownloadRecord& record, const RunResult& result);

// Ends the row: the finish time and the duration from the start.
void FinishRecord(DownloadRecord& record);
