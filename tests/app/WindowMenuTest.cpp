// The menus: File > COM Port with the port indication, Help > Contents and F1, the website
// and About.
#include "ScriptedPort.h"
#include "VirtualHost.h"
#include "WindowHarness.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class WindowMenuTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ClearSettings();
        port.openable = {QStringLiteral("COM1"), QStringLiteral("COM2")};
    }

    void ChooseInPortDialog(int index, bool thenCancel)
    {
        WhenPortDialogShown([=](ComSelect& dialog) {
            dialog.findChild<QComboBox*>("ComboCom")->setCurrentIndex(index);
            dialog.CmdOK_Click();
            if (thenCancel)
                dialog.CmdCancel_Click();
        });
        harness.Window().mnuComPort_Click();
    }

    VirtualHost host;
    ScriptedPort port;
    WindowHarness harness{port, host};
};

TEST_F(WindowMenuTest, ComPortChosenThroughTheMenuIsShown)
{
    harness.Start();
    ChooseInPortDialog(1, false);

    EXPECT_EQ(harness.Panel(4), QStringLiteral("COM2"));
    EXPECT_TRUE(harness.Control<QPushButton>("CmdDownload")->isEnabled());
}

TEST_F(WindowMenuTest, FailedChoiceThenCancelLeavesNoPortEvenIfOneWasOpen)
{
    harness.Start();
    ChooseInPortDialog(6, true);

    EXPECT_EQ(harness.messages.shown.at(0).text, QStringLiteral("Could not open COM 7"));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(harness.Panel(4), QStringLiteral("No Comms"));
    EXPECT_FALSE(harness.Control<QPushButton>("CmdDownload")->isEnabled());
}

TEST_F(WindowMenuTest, HelpWithTheDocumentMissingNamesThePathTried)
{
    harness.Start();
    harness.Window().mnuContents_Click();

    const QString path =
        harness.programDir.path() + QStringLiteral("/Help/Upgrader_Help_Contents.htm");
    ASSERT_EQ(harness.messages.shown.size(), 1u);
    EXPECT_EQ(harness.messages.shown[0].text,
              QStringLiteral("Error occured while attempting to display ") + path);
    EXPECT_EQ(harness.messages.shown[0].style, 16);
    EXPECT_EQ(harness.messages.shown[0].title, QStringLiteral("Tessary Norvane Upgrader Help"));
}

TEST_F(WindowMenuTest, F1InTheFileBoxOpensTheSameDocumentAsContents)
{
    harness.InstallHelp();
    harness.Start();
    harness.Window().mnuContents_Click();
    QTest::keyClick(harness.Control<QLineEdit>("TxtFileName"), Qt::Key_F1, Qt::ShiftModifier);

    ASSERT_EQ(harness.shell.documents.size(), 2);
    EXPECT_EQ(harness.shell.documents[0], harness.shell.documents[1]);
    EXPECT_TRUE(
        harness.shell.documents[0].endsWith(QStringLiteral("/Help/Upgrader_Help_Contents.htm")));
    EXPECT_TRUE(harness.messages.shown.empty());
    QTest::keyClick(harness.Control<QLineEdit>("TxtFileName"), Qt::Key_F2);
    EXPECT_EQ(harness.shell.documents.size(), 2);
}

TEST_F(WindowMenuTest, WebsiteThatCannotBeHandedOverIsReported)
{
    harness.Start();
    harness.Window().mnuVandryWeb_Click();
    EXPECT_EQ(harness.shell.addresses, QStringList{QStringLiteral("http://www.halvorn.example/")});
    EXPECT_TRUE(harness.messages.shown.empty());

    harness.shell.addressesOpen = false;
    harness.Window().mnuVandryWeb_Click();
    ASSERT_EQ(harness.messages.shown.size(), 1u);
    EXPECT_EQ(harness.messages.shown[0].text,
              QStringLiteral("Could not connect to the Halvorn Website."));
    EXPECT_EQ(harness.messages.shown[0].style, 16);
    EXPECT_EQ(harness.messages.shown[0].title, QStringLiteral("Halvorn Website"));
}

TEST_F(WindowMenuTest, AboutShowsTitleVersionAndCopyrightWithCarriageReturns)
{
    harness.Start();
    harness.Window().mnuAbout_Click();

    ASSERT_EQ(harness.messages.shown.size(), 1u);
    const auto& about = harness.messages.shown[0];
    EXPECT_TRUE(
        about.text.startsWith(QStringLiteral("Tessary Norvane Upgrader v1.0.11\r\rCopyright ")));
    EXPECT_TRUE(about.text.endsWith(QStringLiteral("\r")));
    EXPECT_FALSE(about.text.contains(QLatin1Char('\n')));
    EXPECT_EQ(about.style, 64);
    EXPECT_EQ(about.title, QStringLiteral("About Tessary Norvane Upgrader"));
}

} // namespace
