// The record on a real SQLite file: every field comes back, filters pick the right rows,
// duplicates are kept once, many processes write at once, and a store that cannot be
// written or a server that cannot be reached never loses the row silently.
#include "RecordStore.h"
#include "SampleRecords.h"

#include <QProcess>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class RecordStoreTest : public testing::Test
{
protected:
    RecordTarget FileTarget() const
    {
        QString error;
        return *ParseRecordTarget(dir.filePath(QStringLiteral("history.sqlite")), error);
    }

    DownloadRecord Row(const QString& started, const QString& port, const QString& outcome,
                       const QString& crc)
    {
        DownloadRecord row = SampleRecord(line);
        row.started = QDateTime::fromString(started, Qt::ISODateWithMs);
        row.port = port;
        row.outcome = outcome;
        row.firmwareCrc = crc;
        row.devicePath = QStringLiteral("/dev/ttyUSB%1").arg(++devices);
        return row;
    }

    QTemporaryDir dir;
    int devices = 0;
    SampleLine line{QStringLiteral("bench-1"), QDateTime::currentDateTimeUtc(), 0, {}};
};

std::string Ids(const QueryResult& result)
{
    QStringList ids;
    for (const DownloadRecord& row : result.rows)
        ids.append(row.id);
    return ids.join(QLatin1Char(' ')).toStdString();
}

TEST_F(RecordStoreTest, EveryFieldComesBackAsWritten)
{
    DownloadRecord row = SampleRecord(line);
    row.started =
        QDateTime::fromString(QStringLiteral("2026-12-07T14:13:49.123Z"), Qt::ISODateWithMs);
    row.finished = row.started.addMSecs(7421);
    row.firmwareCrc = QStringLiteral("a1b2"); // kept upper-case
    row.detail = QStringLiteral("quote ' and \"comma\", newline\nend");
    row.firmwareStart = 0x12345;
    row.firmwareEnd = 0x3FFFF;
    row.bytesSent = 5'000'000'000; // past 32 bits
    row.headerDue = false;
    row.link = {};
    row.link.Of(ReplyKind::Program) = {1, 17, 19};
    row.link.packetPhaseRatio = 1.2346;
    const RecordStore store(FileTarget());
    ASSERT_EQ(store.Append(row).status, StoreStatus::Stored);

    const QueryResult result = store.Query({});
    ASSERT_TRUE(result.error.isEmpty()) << qPrintable(result.error);
    ASSERT_EQ(result.rows.size(), 1u);
    const DownloadRecord& back = result.rows[0];
    row.firmwareCrc = QStringLiteral("A1B2");
    const auto fields = [](const DownloadRecord& r) {
        return std::make_tuple(r.id, r.started, r.finished, r.host, r.user, r.program,
                               r.programVersion, r.port, r.devicePath, r.usbVendorId,
                               r.usbProductId, r.usbSerial, r.adapter, r.firmwareFile,
                               r.firmwareCrc, r.firmwareStart, r.firmwareEnd, r.firmwareSha256,
                               r.headerDue, r.outcome, r.reason, r.exitCode, r.detail, r.stepsDone,
                               r.stepsPlanned, r.bytesSent, r.bytesReceived, r.durationMs);
    };
    EXPECT_EQ(fields(back), fields(row));
    EXPECT_EQ(back.started.timeSpec(), Qt::UTC);
    const ReplyWaits& program = back.link.Of(ReplyKind::Program);
    EXPECT_EQ(std::make_tuple(program.count, program.medianMs, program.maxMs),
              std::make_tuple(1, 17, 19));
    EXPECT_EQ(back.link.Of(ReplyKind::Erase).count, 0); // NULL: no erase reply came
    EXPECT_DOUBLE_EQ(back.link.packetPhaseRatio, 1.235);
}

TEST_F(RecordStoreTest, FiltersPickRowsNewestFirst)
{
    const RecordStore store(FileTarget());
    const DownloadRecord rows[] = {
        Row(QStringLiteral("2026-12-07T08:00:00.000Z"), QStringLiteral("COM1"),
            QStringLiteral("downloaded"), QStringLiteral("5A3C")),
        Row(QStringLiteral("2026-12-07T09:00:00.000Z"), QStringLiteral("COM2"),
            QStringLiteral("failed"), QStringLiteral("5A3C")),
        Row(QStringLiteral("2026-12-07T10:00:00.000Z"), QStringLiteral("COM1"),
            QStringLiteral("failed"), QStringLiteral("00FF")),
    };
    for (const DownloadRecord& row : rows)
        ASSERT_EQ(store.Append(row).status, StoreStatus::Stored);
    const QString a = rows[0].id, b = rows[1].id, c = rows[2].id;
    const auto at = [](const char* text) {
        return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
    };

    const struct
    {
        const char* what;
        RecordFilter filter;
        QStringList ids;
    } cases[] = {
        {"everything", {}, {c, b, a}},
        {"since is inclusive", {at("2026-12-07T09:00:00Z"), {}, {}, {}, {}}, {c, b}},
        {"until is exclusive", {{}, at("2026-12-07T09:00:00Z"), {}, {}, {}}, {a}},
        {"a time in another zone", {at("2026-12-07T10:30:00+02:00"), {}, {}, {}, {}}, {c, b}},
        {"port as named", {{}, {}, QStringLiteral("COM1"), {}, {}}, {c, a}},
        {"port by its device", {{}, {}, rows[1].devicePath, {}, {}}, {b}},
        {"outcome", {{}, {}, {}, QStringLiteral("failed"), {}}, {c, b}},
        {"crc in lower case", {{}, {}, {}, {}, QStringLiteral("00ff")}, {c}},
        {"all at once",
         {at("2026-12-07T08:30:00Z"),
          {},
          QStringLiteral("COM1"),
          QStringLiteral("failed"),
          QStringLiteral("00FF")},
         {c}},
    };
    for (const auto& test : cases) {
        const QueryResult result = store.Query(test.filter);
        EXPECT_TRUE(result.error.isEmpty()) << test.what;
        EXPECT_EQ(Ids(result), test.ids.join(QLatin1Char(' ')).toStdString()) << test.what;
    }
}

TEST_F(RecordStoreTest, RowAppendedTwiceIsKeptOnce)
{
    const RecordStore store(FileTarget());
    const DownloadRecord row = SampleRecord(line);
    ASSERT_EQ(store.Append(row).status, StoreStatus::Stored);
    ASSERT_EQ(store.Append(row).status, StoreStatus::Stored);
    EXPECT_EQ(store.Query({}).rows.size(), 1u);
}

TEST_F(RecordStoreTest, StoreThatCannotBeWrittenSaysSoAndLosesNothingElse)
{
    QString error;
    const RecordStore store(*ParseRecordTarget(QStringLiteral("/dev/null/history.sqlite"), error));
    const StoreResult result = store.Append(SampleRecord(line));
    EXPECT_EQ(result.status, StoreStatus::NotStored);
    EXPECT_TRUE(result.warning.contains(QLatin1String("/dev/null/history.sqlite")))
        << qPrintable(result.warning);
    EXPECT_EQ(store.Open().status, StoreStatus::NotStored);

    // A file that is not a record at all is an error to read, not an empty list.
    const RecordStore notARecord(
        *ParseRecordTarget(QStringLiteral(NORVANE_SOURCE_DIR "/README.md"), error));
    EXPECT_FALSE(notARecord.Query({}).error.isEmpty());
}

TEST_F(RecordStoreTest, FullDiskIsCalledSo)
{
    // With 20 KiB taken SQLite finds the disk full; with 40 KiB the index of the WAL file
    // cannot grow, which it calls an input/output error.
    for (const int takenKiB : {20, 40}) {
        // A 64 KiB file system over the test's folder, in a namespace of its own: no root needed.
        QProcess writer;
        writer.start(QStringLiteral("unshare"),
                     {QStringLiteral("--user"), QStringLiteral("--map-root-user"),
                      QStringLiteral("--mount"), QStringLiteral("sh"), QStringLiteral("-c"),
                      QStringLiteral("mount -t tmpfs -o size=64k none \"$1\" && head -c $2 "
                                     "/dev/zero >\"$1/taken\" && exec \"$3\" --record \"$1/r\""),
                      QStringLiteral("sh"), dir.path(), QString::number(takenKiB * 1024),
                      QStringLiteral(RECORD_WRITER)});
        writer.write("1\n");
        writer.closeWriteChannel();
        ASSERT_TRUE(writer.waitForFinished(30000));
        const QString results = QString::fromUtf8(writer.readAllStandardOutput());
        if (results.isEmpty())
            GTEST_SKIP() << "no file system of its own: " << writer.readAllStandardError().data();
        EXPECT_EQ(results.count(QStringLiteral("not-stored: cannot write the record %1/r: the disk "
                                               "is full\n")
                                    .arg(dir.path())),
                  2)
            << takenKiB << " KiB taken: " << qPrintable(results);
    }
}

TEST_F(RecordStoreTest, UnreachableServerKeepsTheRowWaitingInTheLocalFile)
{
    // A port that was free a moment ago: nothing listens there.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    QString error;
    const auto target =
        ParseRecordTarget(QStringLiteral("postgresql://line@127.0.0.1:%1/record").arg(port), error,
                          dir.filePath(QStringLiteral("local.sqlite")));
    ASSERT_TRUE(target) << qPrintable(error);
    const RecordStore store(*target);

    ASSERT_EQ(store.Append(SampleRecord(line)).status, StoreStatus::Stored);
    const StoreResult result = store.SendUnsent();
    EXPECT_EQ(result.status, StoreStatus::WaitingForServer);
    EXPECT_TRUE(result.warning.contains(QLatin1String("local.sqlite")))
        << qPrintable(result.warning);
    EXPECT_EQ(store.UnsentCount(), 1);
    EXPECT_EQ(RecordStore(FileTarget()).Query({}).rows.size(), 0u); // not the default file
    EXPECT_EQ(RecordStore(*ParseRecordTarget(target->file, error)).Query({}).rows.size(), 1u);
}

TEST_F(RecordStoreTest, ManyProcessesWritingAtOnceLoseNoRow)
{
    constexpr int kProcesses = 6;
    constexpr int kThreads = 2;
    constexpr int kRows = 15;
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < kProcesses; ++i) {
        writers.push_back(std::make_unique<QProcess>());
        writers.back()->start(QStringLiteral(RECORD_WRITER),
                              {QStringLiteral("--record"), FileTarget().file,
                               QStringLiteral("--rows"), QString::number(kRows),
                               QStringLiteral("--threads"), QString::number(kThreads),
                               QStringLiteral("--station"), QStringLiteral("station-%1").arg(i)});
    }
    for (const auto& writer : writers) {
        ASSERT_TRUE(writer->waitForFinished(60000));
        EXPECT_EQ(writer->exitCode(), 0) << writer->readAllStandardError().constData();
    }
    const QueryResult result = RecordStore(FileTarget()).Query({});
    ASSERT_TRUE(result.error.isEmpty()) << qPrintable(result.error);
    QSet<QString> ids;
    for (const DownloadRecord& row : result.rows)
        ids.insert(row.id);
    EXPECT_EQ(result.rows.size(), size_t{kProcesses * kThreads * kRows});
    EXPECT_EQ(ids.size(), kProcesses * kThreads * kRows);
}

// A file made by the first version: readers list it as it is, the new figures empty; writers
// starting together add the columns it lacks, and none of them fails.
TEST_F(RecordStoreTest, OlderFileIsReadAsItIsAndGainsTheNewColumnsFromItsWriters)
{
    const QString file = FileTarget().file;
    const auto columnCount = [&file] {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), file);
        database.setDatabaseName(file);
        const int count =
            database.open() ? database.record(QStringLiteral("downloads")).count() : 0;
        database = QSqlDatabase();
        QSqlDatabase::removeDatabase(file);
        return count;
    };
    {
        QSqlDatabase old = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), file);
        old.setDatabaseName(file);
        ASSERT_TRUE(old.open());
        ASSERT_TRUE(QSqlQuery(old).exec(FirstVersionTableSql(true)));
        ASSERT_TRUE(QSqlQuery(old).exec(FirstVersionRowSql()));
    }
    QSqlDatabase::removeDatabase(file);
    const int firstVersionColumns = columnCount();

    const QueryResult old = RecordStore(FileTarget()).Query({});
    ASSERT_TRUE(old.error.isEmpty()) << qPrintable(old.error);
    ASSERT_EQ(old.rows.size(), 1u);
    EXPECT_EQ(old.rows[0].durationMs, 7500);
    EXPECT_EQ(old.rows[0].link.Of(ReplyKind::Program).count, 0);
    EXPECT_EQ(columnCount(), firstVersionColumns);

    constexpr int kWriters = 4;
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < kWriters; ++i) {
        writers.push_back(std::make_unique<QProcess>());
        writers.back()->start(QStringLiteral(RECORD_WRITER),
                              {QStringLiteral("--record"), file, QStringLiteral("--rows"),
                               QStringLiteral("3"), QStringLiteral("--station"),
                               QStringLiteral("station-%1").arg(i)});
    }
    for (const auto& writer : writers) {
        ASSERT_TRUE(writer->waitForFinished(60000));
        EXPECT_EQ(writer->exitCode(), 0) << writer->readAllStandardError().constData();
    }
    EXPECT_EQ(columnCount(), firstVersionColumns + 13);
    const QueryResult migrated = RecordStore(FileTarget()).Query({});
    EXPECT_EQ(migrated.rows.size(), size_t{1 + kWriters * 3});
    EXPECT_EQ(migrated.rows.back().id, QStringLiteral("first-version"));
}

} // namespace
