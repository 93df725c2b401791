// The try at the port library's lock file that tells a port held by another program from a
// lock file that cannot be made.
#include "PortAccess.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

struct LockRow
{
    const char* name;
    const char* device;
    const char* lockFile;     // what lies in the lock folder
    std::optional<bool> held; // a lock held by a running program there; none: the place of the
                              // lock folder is taken by a plain file
    PortLock expected;
};

TEST(PortLockTest, TheLockFileTellsWhyTheLibraryRefused)
{
    const LockRow rows[] = {
        {"NoLock", "/dev/ttyUSB0", "LCK..ttyUSB0", false, PortLock::Free},
        {"Held", "/dev/ttyUSB0", "LCK..ttyUSB0", true, PortLock::HeldByAnotherProgram},
        {"HeldPseudoTerminal", "/dev/pts/3", "LCK..pts_3", true, PortLock::HeldByAnotherProgram},
        {"OtherDeviceHeld", "/dev/ttyUSB1", "LCK..ttyUSB0", true, PortLock::Free},
        {"CannotBeMade", "/dev/ttyUSB0", "LCK..ttyUSB0", std::nullopt, PortLock::CannotBeMade},
    };
    for (const LockRow& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir folder;
        const QString lockPath = folder.filePath(QString::fromLatin1(row.lockFile));
        QLockFile holder(lockPath);
        QString lockDir = folder.path();
        if (!row.held.has_value()) {
            lockDir = folder.filePath(QString::fromLatin1(row.lockFile));
            ASSERT_TRUE(QFile(lockDir).open(QIODevice::WriteOnly));
        } else if (*row.held) {
            ASSERT_TRUE(holder.tryLock(0));
        }
        const QStringList dirs = {folder.filePath(QStringLiteral("missing")), lockDir};
        EXPECT_EQ(ProbePortLockIn(dirs, QString::fromLatin1(row.device)), row.expected);
        // The try leaves no lock of its own behind.
        const QStringList left =
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        EXPECT_EQ(left, row.held == false ? QStringList() : QStringList{row.lockFile});
    }
}

} // namespace
