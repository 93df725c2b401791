#pragma once

#include <QIcon>
#include <QImage>

// The program's two icons, drawn in the 16 classic colours on a 32 x 32 grid at any size.

// A computer beside a device, joined by a cable: the main window and the desktop entry.
QImage DrawApplicationIcon(int size);
// Two components joined by lines: the port dialog.
QImage DrawPortDialogIcon(int size);

QIcon ApplicationIcon();
QIcon PortDialogIcon();
