#pragma once

#include "SerialPort.h"

#include <QString>

// Why a port could not be opened, in words a user can act on.
QString PortProblemText(const SerialPort& port);
