// The sender on a real SQLite file that another connection holds locked past the busy
// time-out: the row is kept in memory, said so once, and written once the lock goes.
#include "RecordSender.h"
#include "SampleRecords.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <mutex>

namespace {

constexpr int kShortBusyTimeoutMs = 100;

TEST(RecordSenderTest, RowOfALockedFileIsKeptInMemoryAndWrittenWhenTheLockGoes)
{
    QTemporaryDir dir;
    QString error;
    const auto target = ParseRecordTarget(dir.filePath(QStringLiteral("history.sqlite")), error);
    ASSERT_TRUE(target) << qPrintable(error);
    const RecordStore store(*target, kShortBusyTimeoutMs);
    ASSERT_EQ(store.Open().status, StoreStatus::Stored);

    std::mutex warningsMutex;
    QStringList warnings;
    RecordSender sender(store, [&](const QString& warning) {
        const std::lock_guard lock(warningsMutex);
        warnings.append(warning);
    });

    {
        QSqlDatabase other =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(target->file);
        ASSERT_TRUE(other.open());
        ASSERT_TRUE(QSqlQuery(other).exec(QStringLiteral("BEGIN EXCLUSIVE")));

        SampleLine line{QStringLiteral("bench-1"), QDateTime::currentDateTimeUtc(), 0, {}};
        const DownloadRecord row = SampleRecord(line);
        const StoreResult appended = store.Append(row);
        ASSERT_EQ(appended.status, StoreStatus::Locked) << qPrintable(appended.warning);
        sender.Keep(row);
        EXPECT_EQ(sender.Deliver(300).kept, 1); // the lock is still there

        ASSERT_TRUE(QSqlQuery(other).exec(QStringLiteral("COMMIT")));
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));

    EXPECT_EQ(sender.Deliver(5000).kept, 0);
    EXPECT_EQ(store.Query({}).rows.size(), 1u);
    EXPECT_TRUE(sender.Quit(1000));
    EXPECT_EQ(warnings, QStringList{QStringLiteral("the rows kept in memory are written to ") +
                                    target->file});
}

} // namespace
