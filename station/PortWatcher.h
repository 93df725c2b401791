#pragma once

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>

// Watches a folder of links to serial devices (by default /dev/serial/by-id, one link per USB
// serial adapter) through the system's change notification, without polling. Reports each
// link once it resolves to a device the program may open, and each link that goes away. A
// link replaced by another of the same name counts as one gone and one new.
//
// The system may make a link a moment before its device can be opened: such a link is
// checked again on a short timer for a bounded time, and again at every later change of the
// folder. The folder itself may be missing (the system removes /dev/serial when the last
// adapter goes): its nearest existing parent is watched until it comes back.
class PortWatcher : public QObject
{
    Q_OBJECT

public:
    explicit PortWatcher(const QString& folder, QObject* parent = nullptr);

    // The links there now are reported with presentAtStart set, the later ones without.
    void Start();
    void Stop();

    QString Folder() const { return m_folder; }
    bool FolderExists() const;

signals:
    void Appeared(const QString& link, bool presentAtStart);
    void Disappeared(const QString& link);

private:
    struct Entry
    {
        uint64_t inode = 0; // of the link itself: a new link of the same name is a new port
        QString target;
        bool reported = false;
        bool presentAtStart = false;
        QElapsedTimer age;
    };

    void Rearm();
    void Rescan();
    void CheckUnresolved();
    bool Report(const QString& link, Entry& entry);

    QString m_folder;
    QFileSystemWatcher m_watcher;
    QMap<QString, Entry> m_entries; // by link path
    QTimer m_recheck;
    bool m_starting = false;
};
