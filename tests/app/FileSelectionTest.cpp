// Choosing the firmware file: the browse dialog, the remembered file, and edits of the box.
#include "ScriptedPort.h"
#include "VirtualHost.h"
#include "WindowHarness.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class FileSelectionTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ClearSettings();
        port.openable = {QStringLiteral("COM1")};
    }

    QLineEdit* Box() { return harness.Control<QLineEdit>("TxtFileName"); }
    // As if a download had loaded the file and shown its CRC.
    void MarkLoaded()
    {
        harness.Window().Engine().UseFirmware(FirmwareOf(FirmwareImage{}, 0, 0));
        harness.Window().ShowFileState(QStringLiteral("File: CRC - 1234h"));
    }

    VirtualHost host;
    ScriptedPort port;
    WindowHarness harness{port, host};
};

TEST_F(FileSelectionTest, DialogStartsFromTheRememberedFile)
{
    StoreSetting(QStringLiteral("LastFile"), QStringLiteral("/releases/v2/app.mot"));
    harness.Start();
    Box()->setText(QStringLiteral("/typed/elsewhere.mot"));
    harness.Window().CmdBrowse_Click();

    ASSERT_EQ(harness.fileDialog.requests.size(), 1u);
    const OpenFileRequest& request = harness.fileDialog.requests[0];
    EXPECT_EQ(request.title, QStringLiteral("Select an S-Record file to download"));
    EXPECT_EQ(request.filter, QStringLiteral("S-Record Releases (*.mot)"));
    EXPECT_EQ(request.initialDir, QStringLiteral("/releases/v2"));
    EXPECT_EQ(request.initialFile, QStringLiteral("/releases/v2/app.mot"));
}

TEST_F(FileSelectionTest, FirstStartOpensTheDialogWithNothingPreset)
{
    harness.Start();
    harness.Window().CmdBrowse_Click();

    ASSERT_EQ(harness.fileDialog.requests.size(), 1u);
    EXPECT_TRUE(harness.fileDialog.requests[0].initialDir.isEmpty());
    EXPECT_TRUE(harness.fileDialog.requests[0].initialFile.isEmpty());
}

TEST_F(FileSelectionTest, CancelledDialogChangesNothing)
{
    StoreSetting(QStringLiteral("LastFile"), QStringLiteral("/releases/a.mot"));
    harness.Start();
    MarkLoaded();
    harness.fileDialog.choice = std::nullopt;
    harness.Window().CmdBrowse_Click();

    EXPECT_EQ(Box()->text(), QStringLiteral("/releases/a.mot"));
    EXPECT_EQ(StoredSetting(QStringLiteral("LastFile")), QStringLiteral("/releases/a.mot"));
    EXPECT_TRUE(harness.Window().Engine().FileLoaded());
    EXPECT_EQ(harness.Panel(2), QStringLiteral("File: CRC - 1234h"));
    EXPECT_TRUE(harness.messages.shown.empty());
}

TEST_F(FileSelectionTest, ChosenFileIsRememberedAndMustBeLoadedAgainEvenWhenUnchanged)
{
    StoreSetting(QStringLiteral("LastFile"), QStringLiteral("/releases/a.mot"));
    harness.Start();
    for (const QString& chosen :
         {QStringLiteral("/releases/b.mot"), QStringLiteral("/releases/b.mot")}) {
        MarkLoaded();
        harness.fileDialog.choice = chosen;
        harness.Window().CmdBrowse_Click();

        EXPECT_EQ(Box()->text(), chosen);
        EXPECT_EQ(StoredSetting(QStringLiteral("LastFile")), chosen);
        EXPECT_FALSE(harness.Window().Engine().FileLoaded());
        EXPECT_EQ(harness.Panel(2), QStringLiteral("File: Not Loaded"));
    }
}

TEST_F(FileSelectionTest, TypingClearsTheLoadedStateButIsNotRemembered)
{
    StoreSetting(QStringLiteral("LastFile"), QStringLiteral("/releases/a.mot"));
    harness.Start();
    MarkLoaded();
    QTest::keyClick(Box(), Qt::Key_X);

    EXPECT_EQ(Box()->text(), QStringLiteral("/releases/a.motx"));
    EXPECT_FALSE(harness.Window().Engine().FileLoaded());
    EXPECT_EQ(harness.Panel(2), QStringLiteral("File: Not Loaded"));
    EXPECT_EQ(StoredSetting(QStringLiteral("LastFile")), QStringLiteral("/releases/a.mot"));
}

TEST_F(FileSelectionTest, EnterWithoutAnOpenPortStartsNothing)
{
    WhenPortDialogShown([](ComSelect& dialog) { dialog.CmdCancel_Click(); });
    port.openable.clear();
    harness.Start();
    harness.messages.shown.clear();
    Box()->setText(QStringLiteral("/missing.mot"));
    QTest::keyClick(Box(), Qt::Key_Return);

    // The Download button is disabled, so Enter does nothing either: no "file does not
    // exist" box, nothing on the status line.
    EXPECT_TRUE(harness.messages.shown.empty());
    EXPECT_EQ(harness.Panel(1), QString());
}

} // namespace
