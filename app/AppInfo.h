#pragma once

#include <QString>

// Facts about the program that the window shows: maker, website (the version is
// kProgramVersion of ProgramVersion.h).

inline const QString kCopyrightNotice =
    QStringLiteral("Copyright (C) 2026 Halvorn Instruments. All rights reserved.");

inline const QString kWebsiteAddress = QStringLiteral("http://www.halvorn.example/");
inline const QString kWebsiteTitle = QStringLiteral("Halvorn Website");

// The help document, below the folder that holds the program.
inline const QString kHelpFileRelative = QStringLiteral("/Help/Upgrader_Help_Contents.htm");
