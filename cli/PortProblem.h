#pragma once

#include "SerialPort.h"

#include <QString>

// Why a port could not be opened, shared by flash and ports: a stable word for scripts
// ("no-device", "no-permission", "busy", "unusable") and a text a user can act on.
QString PortProblemWord(SerialError error);
QString PortProblemText(const SerialPort& port);
