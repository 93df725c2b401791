#pragma once

#include "AdapterReplies.h"
#include "DownloadRecord.h"

#include <QMap>
#include <QString>

#include <cstdio>
#include <vector>

// What norvane-flash history --summary tells: how many downloads ended how, per firmware,
// how long they took, and how fast each adapter brought the device's replies.
struct HistorySummary
{
    int rows = 0;
    QMap<QString, int> outcomes; // outcome name -> rows
    QMap<QString, int> crcs;     // firmware CRC -> rows
    QMap<QString, int> crcsDownloaded;
    int64_t meanDurationMs = 0;           // of every row
    int64_t meanDownloadedDurationMs = 0; // of the downloads that succeeded
    std::vector<AdapterReplies> adapters;
};

HistorySummary SummariseHistory(const std::vector<DownloadRecord>& rows);

void PrintSummaryText(const HistorySummary& summary, std::FILE* out);
void PrintSummaryJson(const HistorySummary& summary, std::FILE* out);
