#pragma once

#include "SerialPort.h"

#include <QString>

// Why a port could not be opened, in words for the user: shown under the "Could not open COM"
// message. It ends with the system's own words when they add anything.
QString PortFailureDetail(SerialError error, const QString& systemText);
