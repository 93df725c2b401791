#pragma once

#include <QString>

// norvane-flash flash --dry-run: loads FILE as flash does and prints the commands a download
// would send, one a line (or one JSON object with json), without opening any port. Returns
// the exit code: 0, or 3 when the file cannot be used.
int PrintDownloadPlan(const QString& fileName, bool json);
