#pragma once

#include "EventSink.h"
#include "Firmware.h"
#include "FlashRecord.h"
#include "PortRun.h"
#include "StopSignals.h"

#include <QString>

#include <functional>
#include <memory>

// What flash and station share: the firmware, loaded once for every port, and the run that
// every port's run starts from.

// Loads fileName as a download's load stage does and shows it so; a stop signal cancels the
// loading.
std::shared_ptr<const Firmware> LoadFirmwareForPorts(const QString& fileName, EventSink& sink);

// The firmware did not load: shows the message box the window would show and the outcome,
// once, for no port, finishes the sink and returns the exit code.
int EndWithoutFirmware(const Firmware& firmware, EventSink& sink);

// A run of the firmware on the real serial port, stopped by the stop signals, tried again up
// to retries times, each try written to the record and then shown in the record's sink. Its
// port is set per port.
PortRun CommandPortRun(std::shared_ptr<const Firmware> firmware, FlashRecord& record, int retries);

// What a second stop writes while devices are being downloaded: it ends the program wherever
// the download is, and only a new download makes such a device whole again.
inline constexpr const char* kSecondStopNote =
    "norvane-flash: stopped at once: a device being downloaded may be left half-programmed; a "
    "new download to it recovers it.\n";

// Every run has ended with exitCode: writes what is left of the output (finish) while the main
// thread takes stops. A stop now ends the program at once with exitCode, or with OutputFailed
// for 0: output not written then counts as lost.
void FinishOutput(StopSignals& stops, int exitCode, const std::function<void()>& finish);
