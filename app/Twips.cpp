#include "Twips.h"

#include <cmath>

namespace {
constexpr double kTwipsPerInch = 1440.0;
}

int Twips::ToPixels(int twips) const
{
    return static_cast<int>(std::lround(twips * m_dpi / kTwipsPerInch));
}

QRect Twips::Rect(int left, int top, int width, int height) const
{
    return {ToPixels(left), ToPixels(top), ToPixels(width), ToPixels(height)};
}
