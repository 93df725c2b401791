#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What norvane-upgrader answers on the command line instead of opening its window: the text
// of --help (-h) or --version (-v), or nothing when the window is to open. It needs no
// application object, so it is asked before the one that needs a display is made. Every other
// argument is left to Qt (-style, -platform ...).
std::optional<QString> WindowCommandLineAnswer(const QStringList& arguments);
