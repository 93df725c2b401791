#pragma once

#include "RunResult.h"
#include "TileState.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// The name that tells a port's adapter apart: its serial number as the system reports it, else
// the part of its /dev/serial/by-id link that holds it ("A6008isP" of
// usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0), else the link's own name.
QString AdapterName(const QString& serialNumber, const QString& port);

// The words a tile shows, large: its state, or for a run that has ended its outcome in the
// words of the outcome table ("Downloaded", "Download failed", "Port cannot be opened", ...).
QString StateWords(TileState state);
QString EndedWords(const TryResult& result);
// Every text the state line may show, so that a tile can be made wide enough for the longest.
QStringList AllStateWords();

// The state a run's last try leaves its port in.
TileState EndedState(const TryResult& result);

// "00:41 elapsed, 01:02 left" while a try runs; "took 01:43" once the run has ended.
QString RunningTimes(int64_t elapsedMs, int64_t remainingMs);
QString EndedTime(int64_t elapsedMs);

// The text as a sentence begins, its first letter upper-case: "line lost; unplug to go on"
// becomes "Line lost; unplug to go on".
QString AsSentence(QString text);
