#pragma once

#include "DurationText.h"
#include "EventSink.h"

#include <QString>

#include <cstdint>

// The events in words, the same in plain lines and in the live table.

// A message box prompt on one line: its line breaks become spaces.
QString OneLine(const QString& prompt);
// "Title: prompt detail" on one line (the application title when the box has none).
QString MessageLine(const MessageBoxText& box);
// "PORT: phrase - detail (mm:ss)", the elapsed time only when there is one.
QString SummaryLine(const TryResult& summary);
// "phrase - detail", for the table's outcome column.
QString OutcomeText(const TryResult& summary);

// "3 done, 1 failed, 0 stopped, 2 running, 0 waiting; mean download time 41.2 s"
QString CountsText(const StationCounts& counts);
QString StoppedText(const StationCounts& counts);
