// The port dialog: the stored number, OK that opens and remembers, OK that fails, Cancel.
#include "ComSelect.h"
#include "ScriptedMessageBoxes.h"
#include "ScriptedPort.h"
#include "WindowHarness.h"

#include <QComboBox>
#include <QFile>
#include <QHash>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ComSelectTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ClearSettings();
        port.openable = {QStringLiteral("COM1"), QStringLiteral("COM2")};
    }

    ComSelect& Dialog()
    {
        if (!m_dialog)
            m_dialog = std::make_unique<ComSelect>(
                port, messages, [this](int16_t number) { return devices.value(number); });
        return *m_dialog;
    }
    QComboBox* Combo() { return Dialog().findChild<QComboBox*>("ComboCom"); }

    ScriptedPort port;
    ScriptedMessageBoxes messages;
    QHash<int16_t, QString> devices; // what each COM number reaches

private:
    std::unique_ptr<ComSelect> m_dialog;
};

TEST_F(ComSelectTest, OffersCom1ToCom12AndSelectsTheStoredPort)
{
    StoreSetting(QStringLiteral("ComPort"), QStringLiteral("7"));
    ASSERT_EQ(Combo()->count(), 12);
    EXPECT_EQ(Combo()->itemText(0), QStringLiteral("COM1"));
    EXPECT_EQ(Combo()->itemText(11), QStringLiteral("COM12"));
    EXPECT_TRUE(Combo()->isEditable());
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("COM7"));
    EXPECT_EQ(Dialog().windowTitle(), QStringLiteral("Select Serial Port"));
    EXPECT_FALSE(Dialog().windowIcon().isNull());
    EXPECT_EQ(Dialog().findChild<QLabel*>("Label1")->text(), QStringLiteral("COM Port:"));
    auto* ok = Dialog().findChild<QPushButton*>("CmdOK");
    auto* cancel = Dialog().findChild<QPushButton*>("CmdCancel");
    EXPECT_EQ(ok->text(), QStringLiteral("&OK"));
    EXPECT_EQ(cancel->text(), QStringLiteral("&Cancel"));
    EXPECT_FALSE(ok->isDefault() || cancel->isDefault());
    EXPECT_EQ(TabSequence(ok), (QWidgetList{ok, Combo(), cancel}));
}

struct DeviceRow
{
    const char* name;
    QString device; // what the lookup gives for COM2
    QString shown;  // the line, or its beginning and end around "…" when it is cut
};

TEST_F(ComSelectTest, DeviceLineNamesOnlyADeviceThatIsThereAndKeepsTheEndOfALongPath)
{
    QTemporaryDir folder;
    const QString serial = QStringLiteral("-if00-port0-SERIAL0042");
    const QString longPath =
        folder.path() + QStringLiteral("/usb-Tessary_Norvane_USB_Serial_Adapter_Rev_B") + serial;
    QFile(longPath).open(QIODevice::WriteOnly);
    const QString noDevice = QStringLiteral("No device found for this port");
    const DeviceRow rows[] = {
        {"Present", QStringLiteral("/dev/null"), QStringLiteral("Device: /dev/null")},
        {"Gone", QStringLiteral("/dev/serial/by-id/usb-unplugged-port0"), noDevice},
        {"NoneMapped", QString(), noDevice},
        {"LongPath", longPath, QStringLiteral("Device: …") + serial},
    };
    auto* label = Dialog().findChild<QLabel*>("LabelDevice");
    for (const DeviceRow& row : rows) {
        SCOPED_TRACE(row.name);
        devices[2] = row.device;
        Combo()->setCurrentIndex(0);
        Combo()->setCurrentIndex(1);
        const QStringList ends = row.shown.split(QStringLiteral("…"));
        EXPECT_TRUE(label->text().startsWith(ends.first())) << label->text().toStdString();
        EXPECT_TRUE(label->text().endsWith(ends.last())) << label->text().toStdString();
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
        EXPECT_EQ(label->toolTip(), row.device);
    }
}

TEST_F(ComSelectTest, OkOpensTheChosenPortRemembersItAndCloses)
{
    StoreSetting(QStringLiteral("ComPort"), QStringLiteral("1"));
    port.SetPortName(QStringLiteral("COM1"));
    port.Open();
    Combo()->setCurrentIndex(1);
    Dialog().CmdOK_Click();

    EXPECT_EQ(Dialog().result(), QDialog::Accepted);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.PortName(), QStringLiteral("COM2"));
    EXPECT_EQ(StoredSetting(QStringLiteral("ComPort")), QStringLiteral("2"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ComSelectTest, FailedOpenIsReportedAndLeavesThePortClosedAndTheSettingAlone)
{
    StoreSetting(QStringLiteral("ComPort"), QStringLiteral("1"));
    port.SetPortName(QStringLiteral("COM1"));
    port.Open();
    port.failures[QStringLiteral("COM5")] = SerialError::NoSuchDevice;
    Combo()->setCurrentIndex(4);
    Dialog().CmdOK_Click();

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Could not open COM 5"));
    EXPECT_EQ(messages.shown[0].style, 17);
    EXPECT_TRUE(messages.shown[0].detail.contains(QStringLiteral("No device answers")));
    EXPECT_NE(Dialog().result(), QDialog::Accepted);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(StoredSetting(QStringLiteral("ComPort")), QStringLiteral("1"));
    EXPECT_EQ(Combo()->currentIndex(), 4);
}

TEST_F(ComSelectTest, OkWithNoEntrySelectedNamesPortZero)
{
    Combo()->setCurrentIndex(-1);
    Dialog().CmdOK_Click();

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Could not open COM 0"));
    EXPECT_TRUE(messages.shown[0].detail.startsWith(QStringLiteral("No port is selected.")));
    EXPECT_EQ(port.PortName(), QStringLiteral("COM0"));
}

struct KeyRow
{
    const char* name;
    const char* target; // the focused widget
    Qt::Key key;
    QDialog::DialogCode result; // Rejected also while the dialog stays open
    bool opened;
};

class ComSelectKeyTest : public ComSelectTest, public testing::WithParamInterface<KeyRow>
{
};

TEST_P(ComSelectKeyTest, EnterPressesTheFocusedButtonAndEscapeCancels)
{
    const KeyRow row = GetParam();
    Dialog().show();
    // The focus is drawn before any Tab.
    EXPECT_TRUE(Dialog().testAttribute(Qt::WA_KeyboardFocusChange));
    auto* target = Dialog().findChild<QWidget*>(QString::fromLatin1(row.target));
    target->setFocus();
    QTest::keyClick(target, row.key);

    EXPECT_EQ(Dialog().result(), row.result);
    EXPECT_EQ(port.IsOpen(), row.opened);
    // Enter in the list presses nothing: no button is the dialog's default.
    EXPECT_EQ(Dialog().isVisible(), row.result == QDialog::Rejected && row.key != Qt::Key_Escape &&
                                        QString::fromLatin1(row.target) == "ComboCom");
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ComSelectKeyTest,
    testing::Values(KeyRow{"EnterOnOk", "CmdOK", Qt::Key_Return, QDialog::Accepted, true},
                    KeyRow{"KeypadEnterOnOk", "CmdOK", Qt::Key_Enter, QDialog::Accepted, true},
                    KeyRow{"EnterOnCancel", "CmdCancel", Qt::Key_Return, QDialog::Rejected, false},
                    KeyRow{"EnterInTheList", "ComboCom", Qt::Key_Return, QDialog::Rejected, false},
                    KeyRow{"EscapeOnOk", "CmdOK", Qt::Key_Escape, QDialog::Rejected, false}),
    [](const testing::TestParamInfo<KeyRow>& info) { return std::string(info.param.name); });

struct TypedRow
{
    const char* name;
    const char* typed;
    bool byKeyboard;    // Alt+O, or else a click with the mouse
    const char* opened; // empty: the dialog's message, and it stays
};

class ComSelectTypedTest : public ComSelectTest, public testing::WithParamInterface<TypedRow>
{
};

TEST_P(ComSelectTypedTest, OkTriesTheTypedTextByKeyboardAndMouseAlike)
{
    const TypedRow row = GetParam();
    Dialog().show();
    Combo()->setFocus();
    Combo()->setEditText(QString::fromLatin1(row.typed));
    if (row.byKeyboard)
        Dialog().findChild<QPushButton*>("CmdOK")->click();
    else
        QTest::mouseClick(Dialog().findChild<QPushButton*>("CmdOK"), Qt::LeftButton);

    const QString opened = QString::fromLatin1(row.opened);
    EXPECT_EQ(port.opened, opened.isEmpty() ? QStringList() : QStringList{opened});
    EXPECT_EQ(Dialog().result(), opened.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
    ASSERT_EQ(messages.shown.size(), opened.isEmpty() ? 1u : 0u);
    if (opened.isEmpty()) {
        EXPECT_EQ(messages.shown[0].text, QStringLiteral("Could not open COM 0"));
        EXPECT_TRUE(messages.shown[0].detail.startsWith(QStringLiteral("No port is selected.")));
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, ComSelectTypedTest,
                         testing::Values(TypedRow{"PortByAltO", "COM2", true, "COM2"},
                                         TypedRow{"PortByMouse", "COM2", false, "COM2"},
                                         TypedRow{"LowerCaseByAltO", " com2", true, "COM2"},
                                         TypedRow{"NoPortByAltO", "xyz", true, ""},
                                         TypedRow{"NoPortByMouse", "xyz", false, ""},
                                         TypedRow{"PastTheListByAltO", "COM13", true, ""}),
                         [](const testing::TestParamInfo<TypedRow>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(ComSelectTest, CancelLeavesPortAndSettingAsTheyWere)
{
    StoreSetting(QStringLiteral("ComPort"), QStringLiteral("1"));
    port.SetPortName(QStringLiteral("COM1"));
    port.Open();
    Combo()->setCurrentIndex(1);
    Dialog().CmdCancel_Click();

    EXPECT_EQ(Dialog().result(), QDialog::Rejected);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.PortName(), QStringLiteral("COM1"));
    EXPECT_EQ(StoredSetting(QStringLiteral("ComPort")), QStringLiteral("1"));
}

} // namespace
