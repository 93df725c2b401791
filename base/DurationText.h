#pragma once

#include <QString>

#include <cstdint>

// "mm:ss", or "h:mm:ss" from an hour on: a download's time as every program shows it.
QString FormatDuration(int64_t ms);
