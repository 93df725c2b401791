#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// The folder of port links as the file system has it, one file per platform. Links are known
// by the system's own bytes for their names, so that a name that is not UTF-8 is still found
// and opened; it is shown with those bytes as \xHH.

struct FolderLink
{
    QByteArray path; // as the system names it
    QString shown;   // the same, as text
};

// What a link leads to now.
struct LinkState
{
    uint64_t inode = 0;  // of the link itself: a new link of the same name is a new port
    QByteArray target;   // the link's own text
    QString device;      // what it leads to, all links followed; empty when nothing is there
    bool usable = false; // a character device this program may read and write
};

// The entries of folder; none when it is missing.
std::vector<FolderLink> LinksIn(const QString& folder);

LinkState StateOf(const QByteArray& path);

// Tells the folder at path from another made later under the same name (0: none there).
uint64_t FolderIdentity(const QString& path);
