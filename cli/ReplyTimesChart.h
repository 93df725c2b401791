#pragma once

#include "AdapterReplies.h"

#include <QString>

#include <vector>

// A horizontal bar per adapter: the median wait for a program reply as the bar (red when
// late), the largest as a tick, and the bound of late replies as a dashed line. Inline SVG.
QString ReplyTimesChart(const std::vector<AdapterReplies>& adapters, double chartWidth);
