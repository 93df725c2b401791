#include "Twips.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace {
constexpr double kDesignCharWidth = 90.0;   // twips
constexpr double kDesignCharHeight = 195.0; // twips
const QString kAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
} // namespace

Twips::Twips(const QFont& font)
{
    const QFontMetricsF metrics(font);
    const double averageCharWidth = metrics.horizontalAdvance(kAlphabet) / kAlphabet.size();
    m_x = averageCharWidth / kDesignCharWidth;
    m_y = metrics.height() / kDesignCharHeight;
}

int Twips::X(int twips) const
{
    return static_cast<int>(std::lround(twips * m_x));
}

int Twips::Y(int twips) const
{
    return static_cast<int>(std::lround(twips * m_y));
}

QRect Twips::Rect(int left, int top, int width, int height) const
{
    return {X(left), Y(top), X(width), Y(height)};
}

Twips Twips::WideEnoughFor(int twips, int pixels) const
{
    // Rounded up, so that X(twips) is never short of pixels.
    const double needed = std::nextafter(static_cast<double>(pixels) / twips, 1e9);
    return {std::max(m_x, needed), m_y};
}
