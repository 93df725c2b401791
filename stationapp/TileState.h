#pragma once

#include <QColor>
#include <QString>

// Where a port of the line stands, as its tile shows it.
enum class TileState
{
    LeftAlone, // the link was there before Start: no byte is sent to it
    Waiting,   // plugged in, waiting for a free job
    Running,   // a try is downloading
    Retrying,  // a try failed on the line; another comes
    Done,      // downloaded
    Failed,    // ended any other way than downloaded or stopped
    Stopped,   // stopped by a stop request
    LineLost,  // the line was lost while the link stays
    Unplugged, // the link went away
};

// Whether nothing more happens on the port until its device is unplugged.
bool IsEnded(TileState state);

// How a state looks: its tile's background and its icon's colour. The words on the tile are
// near-black on every background, so they read at any colour; the colour only repeats what
// the words and the icon's shape already say.
struct TileColours
{
    QColor background;
    QColor icon;
};
TileColours ColoursOf(TileState state);
