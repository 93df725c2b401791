// Every download of the window leaves its row in the default record, also one the user ends
// by closing the window in the middle of it.
#include "RecordStore.h"
#include "SRecordText.h"
#include "SimulatedPort.h"
#include "VirtualDevice.h"
#include "VirtualHost.h"
#include "WindowHarness.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// The version norvane-flash --version shows ("norvane-flash 1.0.11").
QString FlashVersion()
{
    QProcess flash;
    flash.start(QStringLiteral(NORVANE_FLASH), {QStringLiteral("--version")});
    if (!flash.waitForFinished(10000))
        return QStringLiteral("<norvane-flash did not answer>");
    return QString::fromUtf8(flash.readAllStandardOutput())
        .trimmed()
        .remove(QStringLiteral("norvane-flash "));
}

class WindowRecordTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("data"))));
        ClearSettings();
        m_file = m_folder.filePath(QStringLiteral("app.mot"));
        srecords::WritePatternFile(m_file.toStdU16String(), {{0x0000, 0x00FF}, {0x3000, 0x30FF}});
        StoreSetting(QStringLiteral("LastFile"), m_file);
        harness.Start();
        harness.Window().show();
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", m_dataHome); }

    std::vector<DownloadRecord> Rows() const
    {
        QString error;
        return RecordStore(*ParseRecordTarget(QString(), error)).Query({}).rows;
    }

    VirtualHost host;
    VirtualDevice device{host};
    SimulatedPort port{host, &device};
    WindowHarness harness{port, host};
    QTemporaryDir m_folder;
    QString m_file;

private:
    QByteArray m_dataHome;
};

TEST_F(WindowRecordTest, DownloadLeavesItsRow)
{
    harness.Control<QPushButton>("CmdDownload")->click();

    const std::vector<DownloadRecord> rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    const DownloadRecord& row = rows[0];
    EXPECT_EQ(row.outcome, QStringLiteral("downloaded"));
    EXPECT_EQ(row.exitCode, 0);
    EXPECT_EQ(harness.Panel(2), QStringLiteral("File: CRC - %1h").arg(row.firmwareCrc));
    EXPECT_TRUE(row.headerDue);
    EXPECT_EQ(row.stepsDone, row.stepsPlanned);
    EXPECT_GT(row.stepsPlanned, 0);
    QFile file(m_file);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(row.firmwareSha256,
              QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex());
    EXPECT_EQ(row.bytesSent, port.Written().size());
    EXPECT_GT(row.bytesReceived, 0);
    EXPECT_LE(row.started, row.finished);
    EXPECT_EQ(row.programVersion, FlashVersion());
}

// A new name in the box during the download (typed, or chosen with "...") is the next run's
// business: this run's row keeps the facts of the firmware it downloads.
TEST_F(WindowRecordTest, FileNameChangedDuringTheDownloadLeavesTheRunsOwnFacts)
{
    QObject::connect(&harness.Window(), &FrmMain::StatusShown, [this](const QString& text) {
        if (text.startsWith(QStringLiteral("Downloading firmware (CRC - ")))
            harness.Window().Engine().FileNameChanged();
    });
    harness.Control<QPushButton>("CmdDownload")->click();

    const std::vector<DownloadRecord> rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].outcome, QStringLiteral("downloaded"));
    EXPECT_EQ(rows[0].firmwareEnd, 0x30FF);
    EXPECT_TRUE(rows[0].headerDue);
    EXPECT_FALSE(rows[0].firmwareCrc.isEmpty());
    EXPECT_EQ(rows[0].stepsPlanned, rows[0].stepsDone);
}

TEST_F(WindowRecordTest, WindowClosedDuringTheDownloadLeavesItsRow)
{
    harness.messages.Answer(kAnswerYes);
    QObject::connect(&harness.Window(), &FrmMain::StatusShown, [this](const QString& text) {
        if (text.startsWith(QStringLiteral("Downloading firmware (CRC - ")))
            host.After(0, [this] { harness.Window().close(); });
    });
    harness.Control<QPushButton>("CmdDownload")->click();

    ASSERT_EQ(harness.endProgramCalls, 1);
    const std::vector<DownloadRecord> rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].outcome, QStringLiteral("cancelled"));
    EXPECT_LT(rows[0].stepsDone, rows[0].stepsPlanned);
}

// A file that is gone by the time Download is clicked ends the run before the port is used:
// its row is the one place where history meets the outcome file-unusable.
TEST_F(WindowRecordTest, MissingFileLeavesAFileUnusableRow)
{
    QFile::remove(m_file);
    harness.Control<QPushButton>("CmdDownload")->click();

    const std::vector<DownloadRecord> rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].outcome, QStringLiteral("file-unusable"));
    EXPECT_EQ(rows[0].exitCode, 3);
}

} // namespace
