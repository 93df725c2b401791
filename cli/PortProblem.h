#pragma once

#include "SerialPort.h"

#include <QString>

// Why a port could not be opened, for flash and ports: the stable word and the text of the
// shared table (SerialErrorText.h), the ports present added when there is no such device.
QString PortProblemWord(SerialError error);
QString PortProblemText(const SerialPort& port);
