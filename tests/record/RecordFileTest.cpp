// What may be the record, and what an output file would replace of it, on real files.
#include "RecordFile.h"
#include "RecordStore.h"
#include "RecordTarget.h"
#include "SampleRecords.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class RecordFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SampleLine line{QStringLiteral("bench-1"), QDateTime::currentDateTimeUtc(), 0, {}};
        QString error;
        ASSERT_EQ(RecordStore(*ParseRecordTarget(Path("history.sqlite"), error))
                      .Append(SampleRecord(line))
                      .status,
                  StoreStatus::Stored);
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), dir.path());
            other.setDatabaseName(Path("other.db"));
            ASSERT_TRUE(other.open());
            ASSERT_TRUE(QSqlQuery(other).exec(QStringLiteral("CREATE TABLE downloads (x)")));
            other.close();
            other.setDatabaseName(Path("first-version.sqlite"));
            ASSERT_TRUE(other.open());
            ASSERT_TRUE(QSqlQuery(other).exec(FirstVersionTableSql(true)));
        }
        QSqlDatabase::removeDatabase(dir.path());
        ASSERT_EQ(mkfifo(QFile::encodeName(Path("fifo")).constData(), 0600), 0);
        ASSERT_TRUE(QFile(Path("empty.sqlite")).open(QIODevice::WriteOnly));
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        ASSERT_EQ(symlink("history.sqlite", QFile::encodeName(Path("link")).constData()), 0);
        ASSERT_EQ(link(QFile::encodeName(Path("history.sqlite")).constData(),
                       QFile::encodeName(Path("hard")).constData()),
                  0);
    }

    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir dir;
};

TEST_F(RecordFileTest, OnlyARecordOrWhatCanBecomeOneIsTheRecord)
{
    const struct
    {
        const char* name;
        bool usable;
    } cases[] = {
        {"history.sqlite", true},
        {"missing.sqlite", true},
        {"empty.sqlite", true},
        {"fifo", false},
        {"sub", false},
        {"other.db", false},
        {"first-version.sqlite", true}, // its writers add the columns it lacks
    };
    for (const auto& test : cases)
        EXPECT_EQ(RecordFileProblem(Path(test.name)).isEmpty(), test.usable) << test.name;
}

TEST_F(RecordFileTest, NoOutputReplacesTheRecordUnderAnyName)
{
    const struct
    {
        const char* output;
        const char* clash;
    } cases[] = {
        {"history.sqlite", "is the record"},
        {"sub/../history.sqlite", "is the record"},
        {"link", "is the record"},
        {"hard", "is the record"},
        {"history.sqlite-wal", "is a journal of the record"},
        {"sub/../history.sqlite-journal", "is a journal of the record"},
        {"other.db", "is a SQLite database"},
        {"page.html", ""},
        {"fifo", ""},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(OutputClashWithRecord(Path(test.output), Path("history.sqlite")).toStdString(),
                  test.clash)
            << test.output;
    }
    // The record need not be there yet: its name counts.
    EXPECT_EQ(OutputClashWithRecord(Path("new.sqlite"), Path("sub/../new.sqlite")).toStdString(),
              "is the record");
    // Nor may it replace the default record, which the programs given no record write.
    EXPECT_EQ(OutputClashWithRecord(DefaultRecordFile(), Path("history.sqlite")).toStdString(),
              "is the record");
}

} // namespace
