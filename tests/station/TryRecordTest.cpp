// The record of tries on a real SQLite file: a try's outcome is shown, and the status that says
// its device has the firmware passed on, only once its row is committed; a file that another
// connection holds locked past the busy time-out is a warning, and the outcome is still shown.
#include "TryRecord.h"

#include "DownloadTexts.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <mutex>
#include <optional>

namespace {

constexpr int kShortBusyTimeoutMs = 100;
const QString kPort = QStringLiteral("bench-1");

// Records the statuses the runs pass on.
class StatusLog : public RunEvents
{
public:
    void Status(const QString& port, const QString& text) override
    {
        statuses << port + ": " + text;
    }
    void FileState(const QString&, const QString&) override {}
    void Progress(const QString&, const RunProgress&) override {}
    void Message(const QString&, const MessageBoxText&) override {}

    QStringList statuses;
};

// Another connection's exclusive lock on a SQLite file while it lives.
class FileLock
{
public:
    explicit FileLock(const QString& file)
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
        other.setDatabaseName(file);
        EXPECT_TRUE(other.open());
        EXPECT_TRUE(QSqlQuery(other).exec(QStringLiteral("BEGIN EXCLUSIVE")));
    }
    ~FileLock()
    {
        {
            QSqlDatabase other = QSqlDatabase::database(kName);
            QSqlQuery(other).exec(QStringLiteral("COMMIT"));
            other.close();
        }
        QSqlDatabase::removeDatabase(kName);
    }

private:
    const QString kName = QStringLiteral("other");
};

struct TryCase
{
    const char* name;
    bool locked;
    int keptInMemory;
    QStringList warnings; // beginning of each
};

void PrintTo(const TryCase& c, std::ostream* os)
{
    *os << c.name;
}

class TryRecordTest : public testing::TestWithParam<TryCase>
{
};

TEST_P(TryRecordTest, OutcomeIsShownOnceTheRowIsCommittedOrSaidNotToBe)
{
    const TryCase& c = GetParam();
    QTemporaryDir dir;
    RecordTarget target;
    target.file = dir.filePath(QStringLiteral("history.sqlite"));
    const RecordStore store(target);
    Firmware firmware;
    const QString downloaded = kPort + ": " + DownloadedStatus(firmware.crc);

    std::mutex warningsMutex;
    QStringList warnings;
    StatusLog log;
    QStringList statusesWhenShown;
    QStringList warningsWhenShown; // the sender may warn later, once the lock has gone
    size_t rowsWhenShown = 0;
    TryRecord record(
        target, log, firmware,
        [&](const QString& warning) {
            const std::lock_guard lock(warningsMutex);
            warnings << warning;
        },
        [&](const TryResult& result) {
            EXPECT_EQ(result.port, kPort);
            statusesWhenShown = log.statuses;
            {
                const std::lock_guard lock(warningsMutex);
                warningsWhenShown = warnings;
            }
            if (!c.locked)
                rowsWhenShown = store.Query({}).rows.size();
        },
        kShortBusyTimeoutMs);

    {
        std::optional<FileLock> lock;
        if (c.locked)
            lock.emplace(target.file);
        const PortRun::TryEnd end = record.BeginTry(kPort);
        record.Events().Status(kPort, DownloadedStatus(firmware.crc));
        EXPECT_TRUE(log.statuses.isEmpty()); // held until the row is written
        TryResult result;
        result.port = kPort;
        end(result);
        EXPECT_EQ(record.Waiting().kept, c.keptInMemory);
    }

    EXPECT_EQ(statusesWhenShown, QStringList{downloaded});
    EXPECT_EQ(rowsWhenShown, c.locked ? 0u : 1u);
    EXPECT_TRUE(record.QuitSender(TryRecord::kSenderEndMs));
    ASSERT_EQ(warningsWhenShown.size(), c.warnings.size())
        << qPrintable(warningsWhenShown.join('\n'));
    for (qsizetype i = 0; i < warningsWhenShown.size(); ++i)
        EXPECT_TRUE(warningsWhenShown[i].startsWith(c.warnings[i]))
            << qPrintable(warningsWhenShown[i]);
}

INSTANTIATE_TEST_SUITE_P(
    Tries, TryRecordTest,
    testing::Values(
        TryCase{"FreeFile", false, 0, {}},
        TryCase{"LockedFile", true, 1, {QStringLiteral("bench-1: cannot write the record ")}}),
    [](const testing::TestParamInfo<TryCase>& info) { return info.param.name; });

} // namespace
