#include "PortWatcher.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// How often and how long a link that does not lead to a usable device yet is checked again.
constexpr int kRecheckIntervalMs = 20;
constexpr int kRecheckForMs = 5000;

struct LinkIdentity
{
    uint64_t inode = 0;
    QString target;
};

LinkIdentity IdentityOf(const QString& link)
{
    LinkIdentity identity;
    identity.target = QFileInfo(link).symLinkTarget();
#ifdef Q_OS_UNIX
    struct stat status
    {
    };
    if (lstat(QFile::encodeName(link).constData(), &status) == 0)
        identity.inode = static_cast<uint64_t>(status.st_ino);
#endif
    return identity;
}

// True when link leads to a character device that this program may read and write.
bool ResolvesToDevice(const QString& link)
{
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(link);
    struct stat status
    {
    };
    return stat(path.constData(), &status) == 0 && S_ISCHR(status.st_mode) &&
           access(path.constData(), R_OK | W_OK) == 0;
#else
    return QFileInfo::exists(link);
#endif
}

// The folder itself when it exists, else its nearest existing parent.
QString NearestExisting(const QString& folder)
{
    QDir dir(folder);
    while (!dir.exists() && !dir.isRoot()) {
        if (!dir.cdUp())
            break;
    }
    return dir.absolutePath();
}

} // namespace

PortWatcher::PortWatcher(const QString& folder, QObject* parent)
    : QObject(parent), m_folder(QDir(folder).absolutePath())
{
    m_recheck.setInterval(kRecheckIntervalMs);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        Rearm();
        Rescan();
    });
    connect(&m_recheck, &QTimer::timeout, this, &PortWatcher::CheckUnresolved);
}

bool PortWatcher::FolderExists() const
{
    return QFileInfo(m_folder).isDir();
}

void PortWatcher::Start()
{
    // Watch first, then list: a link made in between is seen twice rather than never.
    Rearm();
    m_starting = true;
    Rescan();
    m_starting = false;
}

void PortWatcher::Stop()
{
    const QStringList watched = m_watcher.directories();
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    m_recheck.stop();
}

// Watches the folder, or while it is missing the nearest parent that exists.
void PortWatcher::Rearm()
{
    const QString wanted = NearestExisting(m_folder);
    const QStringList watched = m_watcher.directories();
    if (watched.size() == 1 && watched.first() == wanted)
        return;
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    m_watcher.addPath(wanted);
}

void PortWatcher::Rescan()
{
    QStringList links;
    if (FolderExists()) {
        const QDir dir(m_folder);
        for (const QString& name :
             dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot))
            links.append(dir.absoluteFilePath(name));
    }

    for (auto known = m_entries.begin(); known != m_entries.end();) {
        const LinkIdentity now = IdentityOf(known.key());
        if (links.contains(known.key()) && now.inode == known->inode &&
            now.target == known->target) {
            ++known;
            continue;
        }
        const QString link = known.key();
        const bool reported = known->reported;
        known = m_entries.erase(known);
        if (reported)
            emit Disappeared(link);
    }

    for (const QString& link : links) {
        auto known = m_entries.find(link);
        if (known == m_entries.end()) {
            const LinkIdentity identity = IdentityOf(link);
            Entry entry;
            entry.inode = identity.inode;
            entry.target = identity.target;
            entry.presentAtStart = m_starting;
            entry.age.start();
            known = m_entries.insert(link, entry);
        }
        if (!known->reported && !Report(link, *known))
            m_recheck.start();
    }
}

void PortWatcher::CheckUnresolved()
{
    bool waiting = false;
    for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
        if (!entry->reported && !Report(entry.key(), *entry))
            waiting = waiting || entry->age.elapsed() < kRecheckForMs;
    }
    // Links that stay unusable longer are checked again at the folder's next change.
    if (!waiting)
        m_recheck.stop();
}

// Reports link when it resolves to a device; false while it does not.
bool PortWatcher::Report(const QString& link, Entry& entry)
{
    if (!ResolvesToDevice(link))
        return false;
    entry.reported = true;
    emit Appeared(link, entry.presentAtStart);
    return true;
}
