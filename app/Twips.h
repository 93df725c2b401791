#pragma once

#include <QFont>
#include <QRect>

// The windows are designed in twips (1/1440 inch) for a font whose average character is 90
// twips wide and 195 twips high (8 points at 96 dots per inch). Like dialog units, a layout
// measures the font in use and scales with it: a horizontal twip with the font's average
// character width, a vertical twip with its height. Controls keep their proportions and their
// order, and grow with the text they hold.
class Twips
{
public:
    explicit Twips(const QFont& font);

    int X(int twips) const; // a horizontal length or position in pixels
    int Y(int twips) const; // a vertical one
    QRect Rect(int left, int top, int width, int height) const;

    // The same layout, widened where needed so that a control `twips` wide has at least
    // `pixels` of width. Every horizontal length grows in the same proportion.
    Twips WideEnoughFor(int twips, int pixels) const;

private:
    Twips(double pixelsPerTwipX, double pixelsPerTwipY) : m_x(pixelsPerTwipX), m_y(pixelsPerTwipY)
    {
    }

    double m_x;
    double m_y;
};
