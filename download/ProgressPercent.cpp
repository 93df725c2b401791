#include "ProgressPercent.h"

#include <cmath>

int ProgressPercent(int value, int maximum)
{
    if (maximum <= 0)
        return 0;
    const float percent = static_cast<float>(value) / static_cast<float>(maximum) * 100.0f;
    return static_cast<int>(std::floor(static_cast<double>(percent) + 0.5));
}

QString ProgressPercentText(int value, int maximum)
{
    return QString::number(ProgressPercent(value, maximum)) + QStringLiteral(" %");
}
