#include "ProgressText.h"

#include <algorithm>
#include <cstdint>

namespace {

// The share of the steps done in parts of whole, rounded down.
int PartsDone(int value, int maximum, int whole)
{
    return maximum > 0 ? static_cast<int>(int64_t{std::clamp(value, 0, maximum)} * whole / maximum)
                       : 0;
}

} // namespace

int FlooredPercent(int value, int maximum)
{
    return PartsDone(value, maximum, 100);
}

QString ProgressBar(int value, int maximum, int width)
{
    const int filled = PartsDone(value, maximum, width);
    return QLatin1Char('[') + QString(filled, QLatin1Char('#')) +
           QString(width - filled, QLatin1Char('-')) +
           QStringLiteral("] %1 %").arg(FlooredPercent(value, maximum), 3);
}

bool TenthsOfTheWay::Due(const QString& port, int value, int maximum)
{
    const int tenth = PartsDone(value, maximum, 10);
    const auto shown = m_shown.find(port);
    if (value > 0 && shown != m_shown.end() && tenth <= shown->second)
        return false;
    m_shown[port] = tenth;
    return true;
}
