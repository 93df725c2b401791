#include "PortWatcher.h"

#include <QDir>
#include <QFileInfo>

namespace {

// How often a link that does not lead to a usable device yet is checked again.
constexpr int kRecheckIntervalMs = 20;
// How often the watched folder is checked to be the one at its path: the change notification
// follows a folder that is renamed away, and says nothing of one made above it.
constexpr int kFolderCheckMs = 1000;

// The folder itself when it exists, else its nearest existing parent.
QString NearestExisting(const QString& folder)
{
    QString path = folder;
    while (!QFileInfo(path).isDir()) {
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            break;
        path = parent;
    }
    return path;
}

} // namespace

PortWatcher::PortWatcher(const QString& folder, int settleMs)
    : m_folder(QDir(folder).absolutePath()), m_settleMs(settleMs)
{
    m_recheck.setInterval(kRecheckIntervalMs);
    m_folderCheck.setInterval(kFolderCheckMs);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        Rearm();
        Rescan();
    });
    connect(&m_recheck, &QTimer::timeout, this, &PortWatcher::CheckUnresolved);
    connect(&m_folderCheck, &QTimer::timeout, this, [this] {
        if (Rearm())
            Rescan();
    });
}

bool PortWatcher::FolderExists() const
{
    return QFileInfo(m_folder).isDir();
}

void PortWatcher::Start()
{
    // Watch first, then list: a link made in between is seen twice rather than never.
    Rearm();
    m_folderCheck.start();
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
    m_folderCheck.stop();
}

// Watches the folder, or while it is missing the nearest parent that exists; true when that
// is another folder than before.
bool PortWatcher::Rearm()
{
    const QString wanted = NearestExisting(m_folder);
    const uint64_t identity = FolderIdentity(wanted);
    if (wanted == m_watchedPath && identity == m_watchedIdentity &&
        m_watcher.directories().contains(wanted))
        return false;
    const QStringList watched = m_watcher.directories();
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    m_watcher.addPath(wanted);
    m_watchedPath = wanted;
    m_watchedIdentity = identity;
    return true;
}

void PortWatcher::Rescan()
{
    QMap<QByteArray, QString> links;
    for (const FolderLink& link : LinksIn(m_folder))
        links.insert(link.path, link.shown);

    for (auto known = m_entries.begin(); known != m_entries.end();) {
        const LinkState now = StateOf(known.key());
        if (links.contains(known.key()) && now.inode == known->state.inode &&
            now.target == known->state.target) {
            ++known;
            continue;
        }
        const QString shown = known->shown;
        const bool reported = known->reported;
        known = m_entries.erase(known);
        if (reported)
            emit Disappeared(shown);
    }

    for (auto link = links.cbegin(); link != links.cend(); ++link) {
        auto known = m_entries.find(link.key());
        if (known == m_entries.end()) {
            Entry entry;
            entry.shown = link.value();
            entry.state = StateOf(link.key());
            entry.presentAtStart = m_starting;
            entry.age.start();
            known = m_entries.insert(link.key(), entry);
        }
        if (!known->reported && !Report(link.key(), *known))
            m_recheck.start();
    }
}

void PortWatcher::CheckUnresolved()
{
    bool waiting = false;
    for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
        if (!entry->reported && !Report(entry.key(), *entry))
            waiting = waiting || entry->age.elapsed() < m_settleMs;
    }
    // Links that lead nowhere are checked again at the folder's next change.
    if (!waiting)
        m_recheck.stop();
}

// Reports the link when it leads to a usable device, or to anything once it has had its time
// to settle; false while it does not.
bool PortWatcher::Report(const QByteArray& path, Entry& entry)
{
    const LinkState now = StateOf(path);
    const bool settled = entry.age.elapsed() >= m_settleMs;
    if (!now.usable && (!settled || now.device.isEmpty()))
        return false;
    entry.reported = true;
    emit Appeared(entry.shown, now.device, entry.presentAtStart);
    return true;
}
