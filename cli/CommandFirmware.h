#pragma once

#include "EventSink.h"
#include "Firmware.h"

#include <QString>

#include <memory>

// Loads fileName once for every port of a command; a stop signal cancels the loading. Reports
// the loading status as a download's load stage does and, when the file cannot be used, the
// message box the window would show and the outcome, once, for no port.
std::shared_ptr<const Firmware> LoadFirmwareForPorts(const QString& fileName, EventSink& reporter);
