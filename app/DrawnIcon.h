#pragma once

#include <QIcon>
#include <QImage>
#include <QList>

#include <functional>

// Paints a square picture `side` device pixels wide.
using IconPainter = std::function<QImage(int side)>;

// An icon painted afresh for each size it is shown at, so that it stays sharp at every display
// scale instead of being a small picture enlarged. `sides` are the sizes it offers a window
// manager, which asks for a list of pictures rather than one of a given size.
QIcon DrawnIcon(IconPainter paint, const QList<int>& sides);
