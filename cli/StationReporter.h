#pragma once

#include "FlashReporter.h"
#include "StationEvents.h"

#include <cstdint>

// Where the station shows what happens: the events of every port's download (from the
// workers' threads, as for flash) and the station's own events (from the main thread).
class StationReporter : public FlashReporter, public StationEvents
{
};

// The events of flash --json, one JSON object per line, with the station's own events as
// status events; writes through an output of its own.
std::unique_ptr<StationReporter> MakeStationJsonReporter();

// The station's own events in words, the same on a terminal, in a log and in JSON.
QString WatchingText(const QString& folder, bool folderExists);
QString LeftAloneText();
QString PluggedText(const QString& serialNumber);
QString UnpluggedText();
// "3 done, 1 failed, 0 stopped, 2 running, 0 waiting; mean download time 41.2 s"
QString CountsText(const StationCounts& counts);
QString StoppedText(const StationCounts& counts);
