#pragma once

#include <QString>

#include <optional>

class QMimeData;

// The path of a firmware file dragged from a file manager: one local file whose name ends
// in ".mot" (any case). Anything else (several files, a folder, text, a web address) is none.
std::optional<QString> DroppedFirmwarePath(const QMimeData* data);
