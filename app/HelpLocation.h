#pragma once

#include <QString>

// The help document's full path for a program in programDir: the folder "Help" beside the
// program, or, for an installed program, share/norvane-upgrader/Help beside its bin folder.
// When neither holds the document, the path beside the program, so a message can name it.
QString HelpFilePath(const QString& programDir);
