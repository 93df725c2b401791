#pragma once

#include <QString>

class QSettings;

// What the supervisor sets up for a line: the firmware every device gets, the folder of links
// watched for ports, how many run at once and how often a try is repeated, where the record
// goes, and whether ports already plugged in at Start are flashed too.
struct StationSetup
{
    QString firmwareFile;
    QString watchedFolder = QStringLiteral("/dev/serial/by-id");
    int jobs = 0; // 0: no limit
    int retries = 0;
    QString record; // empty: the default local file; a path; or a postgresql:// address
    bool includePresent = false;

    bool operator==(const StationSetup&) const = default;
};

// The largest numbers the set-up offers; the command line takes any whole number, but no line
// has more ports, nor any use for more tries.
inline constexpr int kMaxStationJobs = 999;
inline constexpr int kMaxStationRetries = 99;

// The set-up remembered in group "Station" of settings; what is missing or damaged reads as
// the default.
StationSetup ReadStationSetup(QSettings& settings);
void WriteStationSetup(QSettings& settings, const StationSetup& setup);
