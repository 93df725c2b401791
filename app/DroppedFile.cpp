#include "DroppedFile.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

std::optional<QString> DroppedFirmwarePath(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1)
        return std::nullopt;
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile() || !url.fileName().endsWith(QStringLiteral(".mot"), Qt::CaseInsensitive))
        return std::nullopt;
    return QDir::toNativeSeparators(url.toLocalFile());
}
