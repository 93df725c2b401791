#include "DesktopShellOpenService.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

bool DesktopShellOpenService::OpenDocument(const QString& path)
{
    // The desktop's opener is started detached and reports success even for a missing
    // file, so a document that is not there is refused here.
    const QFileInfo document(path);
    if (!document.isFile() || !document.isReadable())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(document.absoluteFilePath()));
}

bool DesktopShellOpenService::OpenAddress(const QString& address)
{
    const QUrl url(address);
    return url.isValid() && QDesktopServices::openUrl(url);
}
