#pragma once

#include <QRect>

// Layout in twips (1/1440 inch), turned into pixels at the screen's logical resolution so the
// window keeps its proportions on any display.
class Twips
{
public:
    explicit Twips(double logicalDpi) : m_dpi(logicalDpi) {}

    int ToPixels(int twips) const;
    QRect Rect(int left, int top, int width, int height) const;

private:
    double m_dpi;
};
