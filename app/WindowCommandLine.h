#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What a window program answers on the command line instead of opening its window: the text
// of --help (-h) or --version (-v), or nothing when the window is to open. It needs no
// application object, so it is asked before the one that needs a display is made. Every other
// argument is left to Qt (-style, -platform ...). program is the program's name, purpose the
// sentence that says what its window does.
std::optional<QString> WindowCommandLineAnswer(const QStringList& arguments, const QString& program,
                                               const QString& purpose);
