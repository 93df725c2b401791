#include "LinkFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// Names are UTF-16 text here, and a folder has no inode to tell it from another made later
// under its name: a folder that exists is the one watched.

std::vector<FolderLink> LinksIn(const QString& folder)
{
    std::vector<FolderLink> links;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString path = dir.absoluteFilePath(name);
        links.push_back({QFile::encodeName(path), path});
    }
    return links;
}

LinkState StateOf(const QByteArray& path)
{
    const QFileInfo info(QFile::decodeName(path));
    LinkState state;
    state.target = QFile::encodeName(info.symLinkTarget());
    state.device = info.canonicalFilePath();
    state.usable = info.exists();
    return state;
}

uint64_t FolderIdentity(const QString& path)
{
    return QFileInfo(path).isDir() ? 1 : 0;
}
