#pragma once

#include <QString>

// The command line of norvane-flash station.
struct StationOptions
{
    QString fileName;                                       // the S-record file
    QString watchDir = QStringLiteral("/dev/serial/by-id"); // a folder of links to devices
    int jobs = 0;                                           // downloads at once; 0: no limit
    int retries = 0;             // new tries after a download failed on the line
    QString record;              // --record: empty for the default record file
    bool includePresent = false; // also flash links there at start
    bool json = false;           // one JSON object per line
    bool help = false;
};

// Reads the arguments that follow "station". False with a message in error when they are wrong.
bool ParseStationOptions(const QStringList& args, StationOptions& options, QString& error);

// The text of norvane-flash station --help.
const char* StationUsageText();
