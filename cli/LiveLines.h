#pragma once

#include <QByteArray>
#include <QStringList>

// Lines kept at the bottom of a terminal and redrawn in place: a drawing moves the cursor
// back to their first line, clears from there down, writes the lines that scroll away above
// them, then the lines anew, each cut to the terminal's width.
class LiveLines
{
public:
    // above: whole lines, each ending in a line break; lines: without line breaks.
    QByteArray Draw(const QByteArray& above, const QStringList& lines, int width);
    // Clears the lines drawn; the next drawing starts where they began.
    QByteArray Erase();
    // The lines drawn last stay on the screen; the next drawing starts below them.
    void Leave() { m_drawn = 0; }

private:
    int m_drawn = 0;
};
