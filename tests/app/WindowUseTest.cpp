// The window as a person uses it: Enter on the focused button, a double-click on Download,
// a Download after the line was lost, and a firmware file dropped on the window.
#include "SRecordText.h"
#include "ScriptedPort.h"
#include "StatusPanel.h"
#include "VirtualHost.h"
#include "WindowHarness.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const QString kBootloaderStatus = QStringLiteral("Attempting to start BootLoader...");
const QString kBootloaderPrompt = QStringLiteral("Could not start the Bootloader!");

// A port that opens but where no device ever answers: the bootloader stage waits in virtual
// time until it is cancelled or gives up.
class WindowUseTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ClearSettings();
        port.openable = {QStringLiteral("COM1")};
        m_file = m_folder.path() + QStringLiteral("/app.mot");
        srecords::WritePatternFile(m_file.toStdU16String(), {{0x3000, 0x307F}});
        harness.Start();
        harness.Window().show();
        QObject::connect(&harness.Window(), &FrmMain::StatusShown,
                         [this](const QString& text) { statuses.append(text); });
    }

    // Runs `action` `delayMs` of virtual time after the bootloader stage has begun.
    void WhileStartingBootloader(int delayMs, std::function<void()> action)
    {
        QObject::connect(&harness.Window(), &FrmMain::StatusShown,
                         [this, delayMs, action](const QString& text) {
                             if (text == kBootloaderStatus)
                                 host.After(delayMs, action);
                         });
    }

    QPushButton* Button(const char* name) { return harness.Control<QPushButton>(name); }
    QLineEdit* Box() { return harness.Control<QLineEdit>("TxtFileName"); }
    bool Shown(const QString& prompt) const
    {
        for (const auto& box : harness.messages.shown)
            if (box.text == prompt)
                return true;
        return false;
    }

    VirtualHost host;
    ScriptedPort port;
    WindowHarness harness{port, host};
    QStringList statuses;
    QTemporaryDir m_folder;
    QString m_file;
};

TEST_F(WindowUseTest, EnterPressesTheFocusedButton)
{
    // Start-up gives Download the focus, drawn before any Tab: Enter there runs a download (an
    // empty name: the file-missing box).
    EXPECT_EQ(harness.Window().focusWidget(), Button("CmdDownload"));
    EXPECT_TRUE(harness.Window().testAttribute(Qt::WA_KeyboardFocusChange));
    QTest::keyClick(Button("CmdDownload"), Qt::Key_Return);
    ASSERT_EQ(harness.messages.shown.size(), 1u);
    EXPECT_EQ(harness.messages.shown[0].title, QStringLiteral("File Not Found"));

    QTest::keyClick(Button("CmdBrowse"), Qt::Key_Enter);
    EXPECT_EQ(harness.fileDialog.requests.size(), 1u);
    // Enter held down: its repeats press nothing.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(Button("CmdBrowse"), &repeat);
    EXPECT_EQ(harness.fileDialog.requests.size(), 1u);

    // Enter on Cancel during a run that Enter in the box started.
    Box()->setText(m_file);
    WhileStartingBootloader(0, [this] { QTest::keyClick(Button("CmdCancel"), Qt::Key_Return); });
    QTest::keyClick(Box(), Qt::Key_Return);
    EXPECT_EQ(statuses.last(), QString());
    EXPECT_FALSE(Shown(kBootloaderPrompt));
}

struct RunFocusRow
{
    const char* name;
    bool fileThere;  // else the file-missing box ends the run
    bool enterAgain; // Enter on the focused button while the bootloader is awaited
};

class RunFocusTest : public WindowUseTest, public testing::WithParamInterface<RunFocusRow>
{
};

TEST_P(RunFocusTest, CancelHoldsTheFocusDuringARunAndDownloadHasItAfter)
{
    const RunFocusRow row = GetParam();
    if (row.fileThere)
        Box()->setText(m_file);
    QWidget* focusDuringRun = nullptr;
    // Past the double-click interval, so that Enter on Cancel is not taken for the second half
    // of a double click on Download.
    WhileStartingBootloader(QApplication::doubleClickInterval(), [&] {
        focusDuringRun = harness.Window().focusWidget();
        if (row.enterAgain)
            QTest::keyClick(focusDuringRun, Qt::Key_Return);
    });
    QTest::keyClick(Button("CmdDownload"), Qt::Key_Return);

    if (row.fileThere) {
        EXPECT_EQ(focusDuringRun, Button("CmdCancel"));
    }
    EXPECT_EQ(Shown(kBootloaderPrompt), row.fileThere && !row.enterAgain);
    EXPECT_TRUE(harness.fileDialog.requests.empty());
    EXPECT_EQ(harness.Window().focusWidget(), Button("CmdDownload"));
}

INSTANTIATE_TEST_SUITE_P(Runs, RunFocusTest,
                         testing::Values(RunFocusRow{"CancelledByEnter", true, true},
                                         RunFocusRow{"BootloaderNeverAnswers", true, false},
                                         RunFocusRow{"FileMissing", false, false}),
                         [](const testing::TestParamInfo<RunFocusRow>& info) {
                             return std::string(info.param.name);
                         });

struct DoubleClickRow
{
    const char* name;
    int cancelAfterMs; // after the bootloader stage begins; the load takes no virtual time
    bool cancelled;
};

class DoubleClickTest : public WindowUseTest, public testing::WithParamInterface<DoubleClickRow>
{
};

TEST_P(DoubleClickTest, CancelRightAfterTheDownloadClickIsTheDoubleClicksSecondHalf)
{
    const DoubleClickRow row = GetParam();
    const int delay =
        row.cancelAfterMs < 0 ? QApplication::doubleClickInterval() : row.cancelAfterMs;
    Box()->setText(m_file);
    WhileStartingBootloader(delay, [this] { Button("CmdCancel")->click(); });
    Button("CmdDownload")->click();

    EXPECT_EQ(Shown(kBootloaderPrompt), !row.cancelled);
    EXPECT_EQ(statuses.last(), QString());
    EXPECT_TRUE(Button("CmdDownload")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Intervals, DoubleClickTest,
                         testing::Values(DoubleClickRow{"Within", 100, false},
                                         DoubleClickRow{"AfterTheInterval", -1, true}),
                         [](const testing::TestParamInfo<DoubleClickRow>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(WindowUseTest, DownloadOnALostLineOpensTheSamePortAgain)
{
    port.Close(); // the adapter went away and came back
    Button("CmdDownload")->click();

    EXPECT_EQ(port.opened, (QStringList{QStringLiteral("COM1"), QStringLiteral("COM1")}));
    ASSERT_EQ(harness.messages.shown.size(), 1u);
    EXPECT_EQ(harness.messages.shown[0].title, QStringLiteral("File Not Found"));
    EXPECT_EQ(harness.Panel(4), QStringLiteral("COM1"));
}

TEST_F(WindowUseTest, DownloadOnALostLineThatStaysLostSaysSoAndShowsNoComms)
{
    port.Close();
    port.openable.clear();
    Button("CmdDownload")->click();

    ASSERT_EQ(harness.messages.shown.size(), 1u);
    EXPECT_EQ(harness.messages.shown[0].text, QStringLiteral("Could not open COM 1"));
    EXPECT_EQ(harness.messages.shown[0].style, 17);
    EXPECT_TRUE(harness.messages.shown[0].detail.contains(QStringLiteral("No device answers")));
    EXPECT_EQ(harness.Panel(4), QStringLiteral("No Comms"));
    EXPECT_FALSE(Button("CmdDownload")->isEnabled());
    EXPECT_TRUE(statuses.isEmpty());
}

TEST_F(WindowUseTest, DroppedFirmwareFileLandsInTheBoxAsIfTyped)
{
    harness.Window().Engine().UseFirmware(FirmwareOf(FirmwareImage{}, 0, 0));
    auto drop = [this](QWidget* target, const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        return enter.isAccepted() && dropped.isAccepted();
    };

    EXPECT_FALSE(drop(Box(), m_folder.path() + QStringLiteral("/notes.txt")));
    EXPECT_EQ(Box()->text(), QString());
    EXPECT_TRUE(drop(Box(), m_file));
    EXPECT_EQ(Box()->text(), m_file);
    EXPECT_TRUE(drop(&harness.Window(), m_folder.path() + QStringLiteral("/OTHER.MOT")));
    EXPECT_EQ(Box()->text(), m_folder.path() + QStringLiteral("/OTHER.MOT"));

    EXPECT_FALSE(harness.Window().Engine().FileLoaded());
    EXPECT_EQ(harness.Panel(2), QStringLiteral("File: Not Loaded"));
    EXPECT_EQ(StoredSetting(QStringLiteral("LastFile")), QString());
    EXPECT_TRUE(statuses.isEmpty());
    EXPECT_TRUE(port.written.isEmpty());
}

} // namespace
