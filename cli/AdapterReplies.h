#pragma once

#include "DownloadRecord.h"

#include <QString>

#include <vector>

// How fast the device's replies came through one adapter, over the rows of the record that
// carry reply figures (rows of older versions carry none).
struct AdapterReplies
{
    QString adapter;         // its USB serial number; the port on its host when it reports none
    int rows = 0;            // rows with figures of the program command
    int programMedianMs = 0; // the median of the rows' median waits for a program reply
    int programMaxMs = 0;    // the largest wait for a program reply in any row
    bool late = false;       // programMedianMs above kLateReplyMs
};

// One entry per adapter with figures, in the order of their names.
std::vector<AdapterReplies> RepliesPerAdapter(const std::vector<DownloadRecord>& rows);
