// Start-up: the stored port opened or the failure path with its message and the port
// dialog, the remembered file, and settings that hold damage instead of values.
#include "ScriptedPort.h"
#include "VirtualHost.h"
#include "WindowHarness.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class StartupTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ClearSettings();
        port.openable = {QStringLiteral("COM1"), QStringLiteral("COM2")};
    }

    QPushButton* Button(const char* name) { return harness.Control<QPushButton>(name); }

    VirtualHost host;
    ScriptedPort port;
    WindowHarness harness{port, host};
};

TEST_F(StartupTest, StoredPortThatOpensGivesAnIdleWindowReadyToDownload)
{
    StoreSetting(QStringLiteral("ComPort"), QStringLiteral("2"));
    StoreSetting(QStringLiteral("LastFile"), QStringLiteral("/firmware/release 7.mot"));
    harness.Start();

    EXPECT_TRUE(harness.messages.shown.empty());
    EXPECT_EQ(port.opened, QStringList{QStringLiteral("COM2")});
    EXPECT_EQ(harness.Panel(1), QString());
    EXPECT_EQ(harness.Panel(2), QStringLiteral("File: Not Loaded"));
    EXPECT_EQ(harness.Panel(3), QString());
    EXPECT_EQ(harness.Panel(4), QStringLiteral("COM2"));
    EXPECT_EQ(harness.Control<QLineEdit>("TxtFileName")->text(),
              QStringLiteral("/firmware/release 7.mot"));
    EXPECT_TRUE(Button("CmdDownload")->isEnabled());
    EXPECT_TRUE(Button("CmdCancel")->isHidden());
    EXPECT_TRUE(harness.Control<QProgressBar>("ProgressBar1")->isHidden());
    EXPECT_EQ(harness.Window().focusWidget(), Button("CmdDownload"));
    EXPECT_FALSE(harness.Window().Engine().FileLoaded());
    EXPECT_FALSE(harness.Window().Engine().IsProgramming());
    EXPECT_EQ(harness.Window().HelpFile(),
              harness.programDir.path() + QStringLiteral("/Help/Upgrader_Help_Contents.htm"));
}

TEST_F(StartupTest, NothingStoredOpensCom1WithAnEmptyBox)
{
    harness.Start();

    EXPECT_EQ(port.opened, QStringList{QStringLiteral("COM1")});
    EXPECT_EQ(harness.Panel(4), QStringLiteral("COM1"));
    EXPECT_TRUE(harness.Control<QLineEdit>("TxtFileName")->text().isEmpty());
    // Start-up never writes the port number.
    EXPECT_EQ(StoredSetting(QStringLiteral("ComPort")), QString());
}

TEST_F(StartupTest, PortThatCannotOpenIsReportedThenTheDialogIsOffered)
{
    StoreSetting(QStringLiteral("ComPort"), QStringLiteral("3"));
    port.failures[QStringLiteral("COM3")] = SerialError::Busy;
    QString selectedInDialog;
    WhenPortDialogShown([&](ComSelect& dialog) {
        selectedInDialog = dialog.findChild<QComboBox*>("ComboCom")->currentText();
        dialog.CmdCancel_Click();
    });
    harness.Start();

    ASSERT_EQ(harness.messages.shown.size(), 1u);
    const auto& message = harness.messages.shown[0];
    EXPECT_EQ(message.text, QStringLiteral("Could not open COM 3"));
    EXPECT_EQ(message.style, 17);
    EXPECT_EQ(message.title, QString()); // the application title
    EXPECT_TRUE(message.detail.contains(QStringLiteral("in use by another program")));
    EXPECT_TRUE(message.detail.contains(QStringLiteral("system says no to COM3")));
    EXPECT_EQ(selectedInDialog, QStringLiteral("COM3"));

    EXPECT_EQ(harness.Panel(4), QStringLiteral("No Comms"));
    EXPECT_FALSE(Button("CmdDownload")->isEnabled());
    EXPECT_EQ(harness.Window().focusWidget(), Button("CmdBrowse"));
    // The rest of the start-up also takes place without a port.
    EXPECT_EQ(harness.Panel(2), QStringLiteral("File: Not Loaded"));
    EXPECT_FALSE(harness.Window().HelpFile().isEmpty());
    EXPECT_FALSE(harness.Window().isVisible());
}

TEST_F(StartupTest, PortChosenInTheDialogAfterAFailureIsOpenedAndShown)
{
    StoreSetting(QStringLiteral("ComPort"), QStringLiteral("4"));
    WhenPortDialogShown([](ComSelect& dialog) {
        dialog.findChild<QComboBox*>("ComboCom")->setCurrentIndex(1);
        dialog.CmdOK_Click();
    });
    harness.Start();

    EXPECT_EQ(harness.Panel(4), QStringLiteral("COM2"));
    EXPECT_TRUE(Button("CmdDownload")->isEnabled());
    EXPECT_EQ(StoredSetting(QStringLiteral("ComPort")), QStringLiteral("2"));
    EXPECT_EQ(harness.Window().focusWidget(), Button("CmdDownload"));
}

TEST_F(StartupTest, FailureDetailTellsHowToGetPermission)
{
    StoreSetting(QStringLiteral("ComPort"), QStringLiteral("5"));
    port.failures[QStringLiteral("COM5")] = SerialError::NotInDialoutGroup;
    WhenPortDialogShown([](ComSelect& dialog) { dialog.CmdCancel_Click(); });
    harness.Start();

    ASSERT_EQ(harness.messages.shown.size(), 1u);
    EXPECT_EQ(harness.messages.shown[0].text, QStringLiteral("Could not open COM 5"));
    EXPECT_TRUE(harness.messages.shown[0].detail.contains(QStringLiteral("dialout")));
}

class UnusableStoredPortTest : public StartupTest, public testing::WithParamInterface<const char*>
{
};

TEST_P(UnusableStoredPortTest, TakesTheFailurePathWithoutANumber)
{
    StoreSetting(QStringLiteral("ComPort"), QString::fromUtf8(GetParam()));
    int selectedIndex = 99;
    WhenPortDialogShown([&](ComSelect& dialog) {
        selectedIndex = dialog.findChild<QComboBox*>("ComboCom")->currentIndex();
        dialog.CmdCancel_Click();
    });
    harness.Start();

    ASSERT_EQ(harness.messages.shown.size(), 1u);
    EXPECT_EQ(harness.messages.shown[0].text, QStringLiteral("Could not open COM "));
    EXPECT_EQ(harness.messages.shown[0].style, 17);
    EXPECT_TRUE(port.opened.isEmpty());
    EXPECT_EQ(selectedIndex, -1);
    EXPECT_EQ(harness.Panel(4), QStringLiteral("No Comms"));
    EXPECT_EQ(StoredSetting(QStringLiteral("ComPort")), QString::fromUtf8(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Garbage, UnusableStoredPortTest,
                         testing::Values("abc", "", "0", "13", "-1", "2.5", "1e1", "COM1",
                                         "99999999999999999999"));

TEST_F(StartupTest, DamagedSettingsFileNeverStopsTheStart)
{
    QFile file(SettingsFilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Settings]\nComPort=1, 2, 3\nLastFile=@Variant(\\0\\0\\0\\x7f\\0\\0\\0)\n"
               "\x01\x02\xff garbage = = =\n[Settings\nLastFile2=");
    file.close();
    WhenPortDialogShown([](ComSelect& dialog) { dialog.CmdCancel_Click(); });
    harness.Start();

    EXPECT_EQ(harness.messages.shown.at(0).text, QStringLiteral("Could not open COM "));
    EXPECT_TRUE(harness.Control<QLineEdit>("TxtFileName")->text().isEmpty());
}

TEST_F(StartupTest, RememberedFileLongerThanAnyPathIsIgnored)
{
    StoreSetting(QStringLiteral("LastFile"), QString(200000, QLatin1Char('x')));
    harness.Start();

    EXPECT_TRUE(harness.Control<QLineEdit>("TxtFileName")->text().isEmpty());
    EXPECT_TRUE(harness.messages.shown.empty());
}

} // namespace
