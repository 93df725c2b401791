#pragma once

#include "LinkFolder.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>

// Watches a folder of links to serial devices (by default /dev/serial/by-id, one link per USB
// serial adapter) through the system's change notification. Reports each link once it leads
// to a device, with that device's own path, and each link that goes away. A link replaced by
// another of the same name counts as one gone and one new.
//
// The system may make a link a moment before its device can be opened: such a link is
// checked again on a short timer for settleMs and then reported as it is (its open tells why
// it cannot be used), unless it leads nowhere; those are checked again at every later change
// of the folder. The folder itself may be missing (the system removes /dev/serial when the
// last adapter goes): its nearest existing parent is watched until it comes back. A folder
// renamed away and made again, under the watched name or above it, is found by its path.
class PortWatcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSettleMs = 5000;

    explicit PortWatcher(const QString& folder, int settleMs = kSettleMs);

    // The links there now are reported with presentAtStart set, the later ones without.
    void Start();
    void Stop();

    QString Folder() const { return m_folder; }
    bool FolderExists() const;

signals:
    // port is the link's path as shown, device the path it leads to.
    void Appeared(const QString& port, const QString& device, bool presentAtStart);
    void Disappeared(const QString& port);

private:
    struct Entry
    {
        QString shown;
        LinkState state; // when it was first seen
        bool reported = false;
        bool presentAtStart = false;
        QElapsedTimer age;
    };

    bool Rearm();
    void Rescan();
    void CheckUnresolved();
    bool Report(const QByteArray& path, Entry& entry);

    QString m_folder;
    int m_settleMs;
    QFileSystemWatcher m_watcher;
    QString m_watchedPath;
    uint64_t m_watchedIdentity = 0;
    QMap<QByteArray, Entry> m_entries; // by the link's path
    QTimer m_recheck;
    QTimer m_folderCheck;
    bool m_starting = false;
};
