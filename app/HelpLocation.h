#pragma once

#include <QString>

// A help document's full path for a program in programDir: document (a path below the folder
// that holds the program, "/Help/Upgrader_Help_Contents.htm"), or, for an installed program,
// the same below share/<dataFolder> beside its bin folder. When neither holds the document,
// the path beside the program, so a message can name it.
QString HelpFilePath(const QString& programDir, const QString& dataFolder, const QString& document);

// The upgrader's help document.
QString HelpFilePath(const QString& programDir);
