// The record of a whole line on a real PostgreSQL server: two stations write through an
// outage of the server, and every row ends up on the server exactly once; a reader who may
// only read lists it with the password its client library finds.
#include "PostgresServer.h"
#include "RecordStore.h"
#include "SampleRecords.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>

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

std::string Repeated(const char* word, int n)
{
    QStringList words;
    for (int i = 0; i < n; ++i)
        words.append(QString::fromLatin1(word));
    return words.join(QLatin1Char(' ')).toStdString();
}

TEST(RecordServerTest, EveryRowReachesTheServerOnceThroughAnOutage)
{
    PostgresServer server;
    if (const QString missing = server.MissingPart(); !missing.isEmpty())
        GTEST_SKIP() << "PostgreSQL record not tested: " << qPrintable(missing);
    ASSERT_TRUE(server.Create()) << qPrintable(server.Error());
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

TEST(RecordServerTest, ReaderListsWithThePasswordItsClientLibraryFinds)
{
    PostgresServer server;
    if (const QString missing = server.MissingPart(); !missing.isEmpty())
        GTEST_SKIP() << "PostgreSQL record not tested: " << qPrintable(missing);
    ASSERT_TRUE(server.Create()) << qPrintable(server.Error());
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
            ASSERT_EQ(RecordStore(*ParseRecordTarget(server.Url(), error,
                                                     home.filePath(QStringLiteral("line.sqlite"))))
                          .Append(SampleRecord(line))
                          .status,
                      StoreStatus::Stored);
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
