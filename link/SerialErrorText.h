#pragma once

#include "SerialPort.h"

#include <QString>

// What a port problem means, one entry per kind, for every place that tells the user: the
// window's message boxes, and norvane-flash's flash and ports.

// A stable word for scripts: "no-device", "no-permission", "busy", "disconnected",
// "not-a-serial-port", "unusable".
QString SerialErrorWord(SerialError error);

// A sentence the user can act on; empty for a problem only the system's own words describe.
QString SerialErrorText(SerialError error);

// Whether the system's own words add anything to the sentence. They do not for a pulled cable
// or a file that is no serial port ("Inappropriate ioctl for device" tells a user nothing).
bool SystemTextHelps(SerialError error);
