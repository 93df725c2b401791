#pragma once

#include "DownloadPlan.h"
#include "DownloadRecord.h"
#include "EventSink.h"
#include "FirmwareImage.h"
#include "RecordStore.h"

#include <QString>

#include <cstdint>

// The record that flash and station write each try of a download to, with the facts of the
// image that every row shares. A record that cannot be written is a warning on standard
// error, never a failed download.
class FlashRecord
{
public:
    // Opens the record (sending the rows that wait for its server first) for downloads of
    // image, loaded from fileName.
    FlashRecord(const RecordTarget& target, const QString& fileName, const FirmwareImage& image,
                int32_t startAddr, int32_t endAddr);

    // The row of a try that starts now on port; the adapter is looked up while it is there.
    DownloadRecord Begin(const QString& port) const;
    // Ends the row as the try ended, and appends it. Called from any worker thread.
    void Append(DownloadRecord& row, const FlashSummary& summary) const;

private:
    void Warn(const QString& warning) const;

    RecordStore m_store;
    QString m_fileName;
    QString m_sha256;
    int16_t m_crc = 0;
    DownloadPlan m_plan;
};
