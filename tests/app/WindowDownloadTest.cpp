// Downloads through the window against the virtual device, in virtual time: the status line
// of a whole run, Enter in the file box, and what the user may do while a run goes on:
// close the window, choose File > Exit or File > COM Port, press Enter again.
#include "SRecordText.h"
#include "SimulatedPort.h"
#include "VirtualDevice.h"
#include "VirtualHost.h"
#include "WindowHarness.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kFirstProgramming = QStringLiteral("Downloading firmware (CRC - ");

class WindowDownloadTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ClearSettings();
        m_file = m_folder.path() + QStringLiteral("/norvane app.mot");
        srecords::WritePatternFile(m_file.toStdU16String(), {{0x0000, 0x00FF}, {0x3000, 0x30FF}});
        StoreSetting(QStringLiteral("LastFile"), m_file);
        harness.Start();
        harness.Window().show();
        QObject::connect(&harness.Window(), &FrmMain::StatusShown,
                         [this](const QString& text) { statuses.append(text); });
    }

    // Runs `action` once, from the event dispatch of the first wait after the programming
    // stage has begun, as a user acting on the window in the middle of a download would.
    void DuringProgramming(std::function<void()> action)
    {
        QObject::connect(&harness.Window(), &FrmMain::StatusShown,
                         [this, action](const QString& text) {
                             if (text.startsWith(kFirstProgramming))
                                 host.After(0, [this, action] {
                                     writesBeforeAction = port.Writes().size();
                                     action();
                                 });
                         });
    }

    QPushButton* Button(const char* name) { return harness.Control<QPushButton>(name); }
    QLineEdit* Box() { return harness.Control<QLineEdit>("TxtFileName"); }

    bool DeviceHoldsTheFirmware() const
    {
        for (int32_t address = 0; address < 0x100; ++address)
            if (device.Flash()[address] != srecords::PatternByte(address) ||
                device.Flash()[0x3000 + address] != srecords::PatternByte(0x3000 + address))
                return false;
        return true;
    }

    VirtualHost host;
    VirtualDevice device{host};
    SimulatedPort port{host, &device};
    WindowHarness harness{port, host};
    QStringList statuses;
    std::size_t writesBeforeAction = 0;

private:
    QTemporaryDir m_folder;
    QString m_file;
};

TEST_F(WindowDownloadTest, WholeDownloadShowsEveryStageAndEndsIdle)
{
    Button("CmdDownload")->click();

    ASSERT_FALSE(statuses.isEmpty());
    const QString crc = harness.Panel(2).mid(QStringLiteral("File: CRC - ").size(), 4);
    EXPECT_EQ(harness.Panel(2), QStringLiteral("File: CRC - ") + crc + QStringLiteral("h"));
    const QStringList expected = {
        QStringLiteral("Loading the firmware file..."),
        QStringLiteral("Calculating CRC..."),
        QStringLiteral("Attempting to start BootLoader..."),
        QStringLiteral("Downloading firmware - Generating CRC..."),
        kFirstProgramming + crc + QStringLiteral("h) - Programming device..."),
        QStringLiteral("Downloading firmware - Programming header..."),
        QStringLiteral("Downloading firmware - Verifying downloading firmware..."),
        QStringLiteral("Firmware downloaded OK! (CRC - ") + crc + QStringLiteral("h)"),
    };
    EXPECT_EQ(statuses, expected);
    EXPECT_EQ(harness.Panel(1), expected.last());
    EXPECT_EQ(harness.Panel(3), QString());
    EXPECT_TRUE(DeviceHoldsTheFirmware());
    ASSERT_TRUE(device.LastHeader().has_value());
    EXPECT_TRUE(device.LastHeader()->verified);
    EXPECT_TRUE(harness.messages.shown.empty());
    EXPECT_TRUE(Button("CmdCancel")->isHidden());
    EXPECT_TRUE(harness.Control<QProgressBar>("ProgressBar1")->isHidden());
    EXPECT_TRUE(Button("CmdDownload")->isEnabled());
    EXPECT_EQ(harness.Window().focusWidget(), Button("CmdDownload"));
}

TEST_F(WindowDownloadTest, EnterRunsADownloadAndASecondEnterDuringItIsRefused)
{
    DuringProgramming([this] { QTest::keyClick(Box(), Qt::Key_Return); });
    QTest::keyClick(Box(), Qt::Key_Return);

    EXPECT_EQ(statuses.count(QStringLiteral("Loading the firmware file...")), 1);
    EXPECT_EQ(statuses.count(QStringLiteral("Attempting to start BootLoader...")), 1);
    EXPECT_TRUE(statuses.last().startsWith(QStringLiteral("Firmware downloaded OK!")));
    EXPECT_TRUE(DeviceHoldsTheFirmware());
}

TEST_F(WindowDownloadTest, PortCannotBeChangedWhileADownloadRuns)
{
    DuringProgramming([this] { harness.Window().mnuComPort_Click(); });
    Button("CmdDownload")->click();

    ASSERT_EQ(harness.messages.shown.size(), 1u);
    EXPECT_EQ(harness.messages.shown[0].text,
              QStringLiteral("The COM port cannot be changed while firmware is being downloaded."));
    EXPECT_EQ(harness.messages.shown[0].style, 48);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_TRUE(statuses.last().startsWith(QStringLiteral("Firmware downloaded OK!")));
}

// A FIFO or a device node as the firmware path is refused at once as a missing file: the
// Download click returns within a moment and the window is idle again.
TEST_F(WindowDownloadTest, FifoOrDeviceAsFirmwareIsRefusedAtOnce)
{
    QTemporaryDir folder;
    const QByteArray fifo = QFile::encodeName(folder.filePath(QStringLiteral("pipe.mot")));
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    for (const QString& path : {QFile::decodeName(fifo), QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(path.toStdString());
        harness.messages.shown.clear();
        Box()->setText(path);
        // Should an open block, writers from the second second on let the test end.
        std::promise<void> clicked;
        auto watchdog = std::async(std::launch::async, [&fifo, done = clicked.get_future()] {
            std::chrono::milliseconds wait(2000);
            for (; done.wait_for(wait) == std::future_status::timeout;
                 wait = std::chrono::milliseconds(50))
                close(open(fifo.constData(), O_WRONLY | O_NONBLOCK));
        });
        QElapsedTimer clock;
        clock.start();
        Button("CmdDownload")->click();
        clicked.set_value();
        EXPECT_LT(clock.elapsed(), 1000);
        ASSERT_EQ(harness.messages.shown.size(), 1u);
        EXPECT_EQ(harness.messages.shown[0].title.toStdString(), "File Not Found");
        EXPECT_TRUE(Button("CmdDownload")->isEnabled());
    }
}

struct QuitRow
{
    const char* name;
    bool viaExitMenu;
    int answer;
};

class QuitDuringDownloadTest : public WindowDownloadTest,
                               public testing::WithParamInterface<QuitRow>
{
};

TEST_P(QuitDuringDownloadTest, QuestionDecidesWhetherTheProgramEndsAtOnce)
{
    const QuitRow row = GetParam();
    harness.messages.Answer(row.answer);
    DuringProgramming([this, row] {
        if (row.viaExitMenu)
            harness.Window().mnuExit_Click();
        else
            harness.Window().close();
    });
    Button("CmdDownload")->click();

    ASSERT_EQ(harness.messages.shown.size(), 1u);
    EXPECT_EQ(
        harness.messages.shown[0].text,
        QStringLiteral("Firmware is being downloaded.\r\n\r\nAre you sure you want to quit?"));
    EXPECT_EQ(harness.messages.shown[0].style, 52);
    EXPECT_EQ(harness.messages.shown[0].title, QString());
    if (row.answer == kAnswerYes) {
        EXPECT_EQ(harness.endProgramCalls, 1);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_FALSE(harness.Window().isVisible());
        // Not one byte more went to the device, and the run did not carry on to an outcome.
        EXPECT_EQ(port.Writes().size(), writesBeforeAction);
        EXPECT_FALSE(device.LastHeader().has_value());
        EXPECT_TRUE(statuses.last().startsWith(kFirstProgramming));
    } else {
        EXPECT_EQ(harness.endProgramCalls, 0);
        EXPECT_TRUE(port.IsOpen());
        EXPECT_TRUE(harness.Window().isVisible());
        EXPECT_TRUE(statuses.last().startsWith(QStringLiteral("Firmware downloaded OK!")));
        EXPECT_TRUE(DeviceHoldsTheFirmware());
    }
}

INSTANTIATE_TEST_SUITE_P(
    CloseAndExit, QuitDuringDownloadTest,
    testing::Values(QuitRow{"CloseYes", false, kAnswerYes}, QuitRow{"CloseNo", false, kAnswerNo},
                    QuitRow{"ExitYes", true, kAnswerYes}, QuitRow{"ExitNo", true, kAnswerNo}),
    [](const testing::TestParamInfo<QuitRow>& info) { return std::string(info.param.name); });

TEST_F(WindowDownloadTest, ClosingWhileTheBootloaderStartsEndsWithoutAQuestion)
{
    QObject::connect(&harness.Window(), &FrmMain::StatusShown, [this](const QString& text) {
        if (text == QStringLiteral("Attempting to start BootLoader..."))
            host.After(0, [this] {
                writesBeforeAction = port.Writes().size();
                harness.Window().close();
            });
    });
    Button("CmdDownload")->click();

    EXPECT_TRUE(harness.messages.shown.empty());
    EXPECT_EQ(harness.endProgramCalls, 1);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Writes().size(), writesBeforeAction);
    EXPECT_EQ(statuses.last(), QStringLiteral("Attempting to start BootLoader..."));
}

TEST_F(WindowDownloadTest, ClosingWhileIdleAsksNothingAndClosesThePort)
{
    harness.Window().close();

    EXPECT_TRUE(harness.messages.shown.empty());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(harness.endProgramCalls, 1);
}

} // namespace
