#pragma once

#include "DownloadRecord.h"

#include <cstdio>
#include <vector>

// The rows of norvane-flash history, newest first, in its three forms.

// One JSON object per line, fields named as the record's columns.
void PrintHistoryJson(const std::vector<DownloadRecord>& rows, std::FILE* out);

// Comma-separated values (RFC 4180) with a header line of the record's column names; a text
// that would start a formula begins with a quote.
void PrintHistoryCsv(const std::vector<DownloadRecord>& rows, std::FILE* out);

// A table for people; lines are cut to width characters (0: not cut).
void PrintHistoryTable(const std::vector<DownloadRecord>& rows, std::FILE* out, int width);

// A duration as people read it: "7.4 s", "2:05".
QString DurationText(int64_t ms);
