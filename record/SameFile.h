#pragma once

#include <QString>

// Whether two names reach one existing file, through links too (the same device and inode).
// Devices included, which the standard library's test does not compare on every system.
bool SameFile(const QString& a, const QString& b);
