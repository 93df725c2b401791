#pragma once

#include <QString>

// The station window's title, as the window manager shows it and as its boxes are titled.
inline const QString kStationTitle = QStringLiteral("Tessary Norvane Station");
