#include "LinkFolder.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>

namespace {

// The length of the UTF-8 character that begins at `at`; 0 when none begins there.
qsizetype CharacterLength(const QByteArray& name, qsizetype at)
{
    for (qsizetype length = 1; length <= 4 && at + length <= name.size(); ++length) {
        const QByteArray bytes = name.mid(at, length);
        if (QString::fromUtf8(bytes).toUtf8() == bytes)
            return length;
    }
    return 0;
}

// The bytes as text: UTF-8 where they are, any other byte as \xHH.
QString ShownName(const QByteArray& name)
{
    QString shown;
    for (qsizetype at = 0; at < name.size();) {
        const qsizetype length = CharacterLength(name, at);
        if (length > 0) {
            shown += QString::fromUtf8(name.mid(at, length));
            at += length;
        } else {
            shown += QStringLiteral("\\x%1").arg(static_cast<uint8_t>(name[at++]), 2, 16,
                                                 QLatin1Char('0'));
        }
    }
    return shown;
}

} // namespace

std::vector<FolderLink> LinksIn(const QString& folder)
{
    std::vector<FolderLink> links;
    const QByteArray folderPath = QFile::encodeName(folder);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folderPath.constData()), closedir);
    if (!dir)
        return links;
    while (const dirent* entry = readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        links.push_back({folderPath + '/' + name, folder + QLatin1Char('/') + ShownName(name)});
    }
    return links;
}

LinkState StateOf(const QByteArray& path)
{
    LinkState state;
    struct stat status
    {
    };
    if (lstat(path.constData(), &status) != 0)
        return state;
    state.inode = static_cast<uint64_t>(status.st_ino);
    char text[PATH_MAX];
    const ssize_t length = readlink(path.constData(), text, sizeof text);
    if (length > 0)
        state.target = QByteArray(text, length);
    const std::unique_ptr<char, void (*)(void*)> device(realpath(path.constData(), nullptr),
                                                        std::free);
    if (!device)
        return state;
    state.device = QFile::decodeName(device.get());
    state.usable = stat(device.get(), &status) == 0 && S_ISCHR(status.st_mode) &&
                   access(device.get(), R_OK | W_OK) == 0;
    return state;
}

uint64_t FolderIdentity(const QString& path)
{
    struct stat status
    {
    };
    if (stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return 0;
    return static_cast<uint64_t>(status.st_ino);
}
