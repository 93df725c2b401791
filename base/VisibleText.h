#pragma once

#include <QString>

// Whether a terminal would obey the character rather than show it, or let it reorder the text
// around it: the C0 and C1 controls, DEL, and the bidirectional controls (embeddings,
// overrides, isolates and the direction marks).
bool IsControlCharacter(QChar c);

// Text from outside (a port or link name, a file name, what a device or adapter reports, a row
// of a shared record) as it may reach a terminal or a log: control characters are shown, not
// obeyed. Line breaks and tabs become \n, \r and \t, the other C0 and C1 controls and DEL
// \xHH (ESC: \x1b), the bidirectional controls \uHHHH (RIGHT-TO-LEFT OVERRIDE: \u202e).
QString VisibleText(const QString& text);
