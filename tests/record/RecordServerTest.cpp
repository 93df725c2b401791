// The record of a whole line on a real PostgreSQL server: two stations write through an
// outage of the server, and every row ends up on the server exactly once; a table locked by
// another session holds up neither a row nor the end of its program; stations that start
// together on an empty database create the table once, quietly; a reader who may only read
// lists it with the password its client library finds.
#include "PostgresServer.h"
#include "RecordSender.h"
#include "RecordStore.h"
#include "SampleRecords.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QUrl>

#include <gtest/gtest.h>

#include <mutex>

namespace {

// One station: a record-writer process with a local file of its own, kept running so that
// the server can go away in the middle of its run.
class Station
{
public:
    Station(const QString& url, const QString& name, const QString& dataHome)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(RECORD_WRITER),
                        {QStringLiteral("--record"), url, QStringLiteral("--station"), name});
        opened = ReadResults(1).value(0);
    }
    ~Station()
    {
        m_process.closeWriteChannel();
        m_process.waitForFinished();
    }

    // Writes n rows; the result word of each ("stored", "waiting", "not-stored").
    std::string Write(int n)
    {
        m_process.write(QByteArray::number(n) + '\n');
        return ReadResults(n).join(QLatin1Char(' ')).toStdString();
    }

    QString opened; // how opening the record went

private:
    QStringList ReadResults(int n)
    {
        QStringList words;
        while (words.size() < n) {
            if (!m_process.canReadLine() && !m_process.waitForReadyRead(30000))
                break;
            while (m_process.canReadLine() && words.size() < n)
                words.append(QString::fromUtf8(m_process.readLine())
                                 .section(QLatin1Char(':'), 0, 0)
                                 .trimmed());
        }
        return words;
    }

    QProcess m_process;
};

// A session of its own on the server, as another program's.
QSqlDatabase OpenSession(const PostgresServer& server, const QString& name)
{
    QSqlDatabase session = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    const QUrl url(server.Url());
    session.setHostName(url.host());
    session.setPort(url.port());
    session.setUserName(url.userName());
    session.setDatabaseName(url.path().mid(1));
    session.open();
    return session;
}

std::string Repeated(const char* word, int n)
{
    QStringList words;
    for (int i = 0; i < n; ++i)
        words.append(QString::fromLatin1(word));
    return words.join(QLatin1Char(' ')).toStdString();
}

// A server of its own for each test.
class RecordServerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (const QString missing = server.MissingPart(); !missing.isEmpty())
            GTEST_SKIP() << "PostgreSQL record not tested: " << qPrintable(missing);
        ASSERT_TRUE(server.Create()) << qPrintable(server.Error());
    }

    PostgresServer server;
};

TEST_F(RecordServerTest, EveryRowReachesTheServerOnceThroughAnOutage)
{
    QTemporaryDir homes;
    const QString homeA = homes.filePath(QStringLiteral("a"));
    const QString homeB = homes.filePath(QStringLiteral("b"));

    int rowsA = 0;
    int rowsB = 0;
    {
        Station a(server.Url(), QStringLiteral("station-a"), homeA);
        Station b(server.Url(), QStringLiteral("station-b"), homeB);
        ASSERT_EQ(a.opened, QStringLiteral("stored"));
        EXPECT_EQ(a.Write(5), Repeated("stored", 5));
        EXPECT_EQ(b.Write(5), Repeated("stored", 5));
        rowsA += 5;
        rowsB += 5;

        // The server goes away in the middle of both runs: rows wait in each local file.
        ASSERT_TRUE(server.Stop()) << qPrintable(server.Error());
        EXPECT_EQ(a.Write(4), Repeated("waiting", 4));
        EXPECT_EQ(b.Write(4), Repeated("waiting", 4));
        rowsA += 4;
        rowsB += 4;
        ASSERT_TRUE(server.Start()) << qPrintable(server.Error());

        // Station a is still running: its next row takes the waiting ones along.
        EXPECT_EQ(a.Write(3), Repeated("stored", 3));
        rowsA += 3;
    } // station b's run ends with its rows still waiting

    // The next run of station b sends them before anything else.
    {
        Station b(server.Url(), QStringLiteral("station-b"), homeB);
        EXPECT_EQ(b.opened, QStringLiteral("stored"));
    }

    // A station that stopped after the server took its rows, but before it could mark them
    // sent, sends them again: the server keeps one of each.
    {
        QSqlDatabase local =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("a"));
        local.setDatabaseName(homeA + QStringLiteral("/NorvaneProg/history.sqlite"));
        ASSERT_TRUE(local.open());
        QSqlQuery mark(local);
        mark.prepare(QStringLiteral("UPDATE downloads SET unsent_to = ?"));
        mark.addBindValue(server.Url());
        ASSERT_TRUE(mark.exec());
        EXPECT_EQ(mark.numRowsAffected(), rowsA);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("a"));
    {
        Station a(server.Url(), QStringLiteral("station-a"), homeA);
        EXPECT_EQ(a.opened, QStringLiteral("stored"));
    }

    QString error;
    const RecordStore line(*ParseRecordTarget(server.Url(), error));
    const QueryResult result = line.Query({});
    ASSERT_TRUE(result.error.isEmpty()) << qPrintable(result.error);
    QSet<QString> ids;
    int onA = 0;
    for (const DownloadRecord& row : result.rows) {
        ids.insert(row.id);
        onA += row.host == QLatin1String("station-a") ? 1 : 0;
    }
    EXPECT_EQ(result.rows.size(), size_t(rowsA + rowsB));
    EXPECT_EQ(ids.size(), rowsA + rowsB);
    EXPECT_EQ(onA, rowsA);
    for (const QString& home : {homeA, homeB}) {
        const RecordStore station(*ParseRecordTarget(
            server.Url(), error, home + QStringLiteral("/NorvaneProg/history.sqlite")));
        EXPECT_EQ(station.UnsentCount(), 0) << qPrintable(home);
    }
}

TEST_F(RecordServerTest, TableLockedByAnotherSessionHoldsUpNoRowAndNoEnd)
{
    QTemporaryDir home;
    QString error;
    const RecordStore store(
        *ParseRecordTarget(server.Url(), error, home.filePath(QStringLiteral("local.sqlite"))));
    ASSERT_EQ(store.SendUnsent().status, StoreStatus::Stored); // the table is there

    // As VACUUM FULL, an index build or an idle transaction would.
    QSqlDatabase other = OpenSession(server, QStringLiteral("lock"));
    ASSERT_TRUE(other.isOpen());
    ASSERT_TRUE(QSqlQuery(other).exec(QStringLiteral("BEGIN")));
    ASSERT_TRUE(QSqlQuery(other).exec(QStringLiteral("LOCK TABLE downloads IN SHARE MODE")));

    std::mutex warningsMutex;
    QStringList warnings;
    RecordSender sender(store, [&](const QString& warning) {
        const std::lock_guard lock(warningsMutex);
        warnings.append(warning);
    });
    constexpr int kRows = 3;
    constexpr qint64 kLocalWriteMs = 1000;
    SampleLine line{QStringLiteral("station-a"), QDateTime::currentDateTimeUtc(), 0, {}};
    QElapsedTimer clock;
    for (int i = 0; i < kRows; ++i) {
        clock.start();
        ASSERT_EQ(store.Append(SampleRecord(line)).status, StoreStatus::Stored);
        sender.RowAppended();
        EXPECT_LT(clock.elapsed(), kLocalWriteMs);
    }
    // Two rounds end at the lock's time-out: a program that ends now waits no longer.
    constexpr int kEndWaitMs = 4500;
    clock.start();
    EXPECT_EQ(sender.Deliver(kEndWaitMs).unsent, kRows);
    EXPECT_LT(clock.elapsed(), kEndWaitMs + kLocalWriteMs);
    {
        const std::lock_guard lock(warningsMutex);
        ASSERT_EQ(warnings.size(), 1) << qPrintable(warnings.join(u'\n')); // once per outage
        EXPECT_TRUE(warnings[0].contains(QLatin1String("lock timeout"))) << qPrintable(warnings[0]);
    }

    ASSERT_TRUE(QSqlQuery(other).exec(QStringLiteral("ROLLBACK")));
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("lock"));
    EXPECT_EQ(sender.Deliver(20000).unsent, 0);
    EXPECT_TRUE(sender.Quit(1000));
    EXPECT_EQ(store.Query({}).rows.size(), size_t{kRows});
    EXPECT_TRUE(warnings.last().contains(QLatin1String("takes rows again")))
        << qPrintable(warnings.last());
}

TEST_F(RecordServerTest, StationsStartingTogetherOnAnEmptyDatabaseCreateTheTableQuietly)
{
    QString error;
    const RecordStore line(*ParseRecordTarget(server.Url(), error));
    QSqlDatabase session = OpenSession(server, QStringLiteral("drop"));
    ASSERT_TRUE(session.isOpen());
    // The race is a short one: a few rounds, each on a database without the table.
    constexpr int kRounds = 5;
    constexpr int kStations = 8;
    for (int round = 0; round < kRounds; ++round) {
        QTemporaryDir homes;
        std::vector<std::unique_ptr<QProcess>> stations;
        for (int i = 0; i < kStations; ++i) {
            auto& station = stations.emplace_back(std::make_unique<QProcess>());
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("XDG_DATA_HOME"), homes.filePath(QString::number(i)));
            station->setProcessEnvironment(environment);
            station->start(QStringLiteral(RECORD_WRITER),
                           {QStringLiteral("--record"), server.Url()});
        }
        for (auto& station : stations) {
            station->write("1\n");
            station->closeWriteChannel();
        }
        for (auto& station : stations) {
            ASSERT_TRUE(station->waitForFinished(30000));
            EXPECT_EQ(station->readAllStandardOutput().toStdString(), "stored\nstored\n");
            EXPECT_EQ(station->readAllStandardError().toStdString(), "");
        }
        EXPECT_EQ(line.Query({}).rows.size(), size_t{kStations});
        ASSERT_TRUE(QSqlQuery(session).exec(QStringLiteral("DROP TABLE downloads")));
    }
    session = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("drop"));
}

// A table made by the first version: a reader lists it as it is; stations that start together
// add the columns it lacks under the lock that creates the table, and none of them fails.
TEST_F(RecordServerTest, OlderTableIsReadAsItIsAndGainsTheNewColumnsFromItsStations)
{
    QSqlDatabase session = OpenSession(server, QStringLiteral("old"));
    ASSERT_TRUE(session.isOpen());
    ASSERT_TRUE(QSqlQuery(session).exec(FirstVersionTableSql(false)));
    ASSERT_TRUE(QSqlQuery(session).exec(FirstVersionRowSql()));
    const int firstVersionColumns = session.record(QStringLiteral("downloads")).count();

    QString error;
    const RecordStore line(*ParseRecordTarget(server.Url(), error));
    const QueryResult old = line.Query({});
    ASSERT_TRUE(old.error.isEmpty()) << qPrintable(old.error);
    ASSERT_EQ(old.rows.size(), 1u);
    EXPECT_EQ(old.rows[0].link.Of(ReplyKind::Program).count, 0);
    EXPECT_EQ(session.record(QStringLiteral("downloads")).count(), firstVersionColumns);

    constexpr int kStations = 4;
    QTemporaryDir homes;
    std::vector<std::unique_ptr<QProcess>> stations;
    for (int i = 0; i < kStations; ++i) {
        auto& station = stations.emplace_back(std::make_unique<QProcess>());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), homes.filePath(QString::number(i)));
        station->setProcessEnvironment(environment);
        station->start(QStringLiteral(RECORD_WRITER), {QStringLiteral("--record"), server.Url()});
        station->write("1\n");
        station->closeWriteChannel();
    }
    for (auto& station : stations) {
        ASSERT_TRUE(station->waitForFinished(30000));
        EXPECT_EQ(station->readAllStandardOutput().toStdString(), "stored\nstored\n");
        EXPECT_EQ(station->readAllStandardError().toStdString(), "");
    }
    EXPECT_EQ(session.record(QStringLiteral("downloads")).count(), firstVersionColumns + 13);
    const QueryResult migrated = line.Query({});
    ASSERT_EQ(migrated.rows.size(), size_t{1 + kStations});
    EXPECT_GT(migrated.rows.front().link.Of(ReplyKind::Program).count, 0);
    session = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("old"));
}

TEST_F(RecordServerTest, ReaderListsWithThePasswordItsClientLibraryFinds)
{
    ASSERT_TRUE(server.AddReader(QStringLiteral("reader"), QStringLiteral("s3cret")))
        << qPrintable(server.Error());
    SampleLine line{QStringLiteral("bench-1"), QDateTime::currentDateTimeUtc(), 0, {}};
    QTemporaryDir home;
    QTemporaryFile passwords(home.filePath(QStringLiteral("pgpass-XXXXXX")));
    ASSERT_TRUE(passwords.open());
    passwords.write(QStringLiteral("127.0.0.1:*:record:reader:s3cret\n").toUtf8());
    passwords.close();
    QFile services(home.filePath(QStringLiteral(".pg_service.conf")));
    ASSERT_TRUE(services.open(QIODevice::WriteOnly));
    services.write("[line1]\npassword=s3cret\n");
    services.close();
    const QString url = server.Url(QStringLiteral("reader"));
    QString withPassword = url;
    withPassword.replace(QLatin1String("reader@"), QLatin1String("reader:s3cret@"));

    const struct
    {
        QString address;
        const char* variable;
        QString value;
        int exitCode;
        bool warned;
    } cases[] = {
        {url, nullptr, {}, 1, false},
        {url, "PGPASSWORD", QStringLiteral("s3cret"), 0, false},
        {url, "PGPASSFILE", passwords.fileName(), 0, false},
        {url, "PGSERVICE", QStringLiteral("line1"), 0, false},
        {withPassword, nullptr, {}, 0, true},
    };
    // A reader may not make the table: before any station wrote, it lists nothing; after, the
    // row.
    for (const int rows : {0, 1}) {
        if (rows == 1) {
            QString error;
            const RecordStore station(*ParseRecordTarget(
                server.Url(), error, home.filePath(QStringLiteral("line.sqlite"))));
            ASSERT_EQ(station.Append(SampleRecord(line)).status, StoreStatus::Stored);
            ASSERT_EQ(station.SendUnsent().status, StoreStatus::Stored);
        }
        for (const auto& test : cases) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("HOME"), home.path());
            for (const char* variable :
                 {"PGPASSWORD", "PGPASSFILE", "PGSERVICE", "PGSERVICEFILE", "PGSYSCONFDIR"})
                environment.remove(QLatin1String(variable));
            if (test.variable)
                environment.insert(QLatin1String(test.variable), test.value);
            QProcess history;
            history.setProcessEnvironment(environment);
            history.start(QStringLiteral(NORVANE_FLASH),
                          {QStringLiteral("history"), QStringLiteral("--record"), test.address,
                           QStringLiteral("--csv")});
            ASSERT_TRUE(history.waitForFinished(30000));
            const QString out = QString::fromUtf8(history.readAllStandardOutput());
            const QString err = QString::fromUtf8(history.readAllStandardError());
            const std::string given = QStringLiteral("%1 %2 rows %3")
                                          .arg(QLatin1String(test.variable), test.address)
                                          .arg(rows)
                                          .toStdString();
            EXPECT_EQ(history.exitCode(), test.exitCode) << given << qPrintable(err);
            EXPECT_FALSE(err.contains(QLatin1String("s3cret"))) << given << qPrintable(err);
            EXPECT_EQ(err.count(QLatin1String("process list")), test.warned ? 1 : 0) << given;
            if (test.exitCode == 0) {
                EXPECT_EQ(out.count(QLatin1Char('\n')), rows == 0 ? 1 : 2) << given;
            }
        }
    }
}

} // namespace
