#pragma once

#include <QString>

// Text from outside (a port or link name, a file name, what a device or adapter reports) as
// it may reach a terminal or a log: control characters are shown, not obeyed. Line breaks
// and tabs become \n, \r and \t, any other as \xHH (ESC: \x1b).
QString VisibleText(const QString& text);
