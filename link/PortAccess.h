#pragma once

class QSerialPort;

// Platform tuning of an opened port, each kept in a file per platform.

// Asks the driver to hand over received bytes at once instead of batching them (USB serial
// adapters otherwise hold small replies for up to 16 ms). Ports that cannot do it (a
// pseudo-terminal) are left as they are.
void RequestLowLatency(QSerialPort& port);

// Makes sure no other program has the device open through its own descriptor; false when
// one has. Needed where the system's own exclusive mode does not bind every user.
bool TakeExclusiveAccess(QSerialPort& port);
