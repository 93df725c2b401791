// The station window's frame offscreen: the set-up remembered and refused, Start and Stop by
// Space, and closing while devices are downloaded.
#include "SRecordText.h"
#include "StationSetup.h"
#include "StationWindowHarness.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

QString Text(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

// A port that opens and takes every byte but never answers: its run goes on until stopped.
class SilentPort : public SerialPort
{
public:
    void SetPortName(const QString& name) override { m_name = name; }
    QString PortName() const override { return m_name; }
    bool Open() override { return m_open = true; }
    void Close() override { m_open = false; }
    bool IsOpen() const override { return m_open; }
    int16_t InBufferCount() override { return 0; }
    void DiscardInput() override {}
    uint8_t Input() override { return 0; }
    void Output(const uint8_t*, int) override {}
    SerialError Error() const override { return SerialError::None; }
    QString ErrorText() const override { return {}; }

private:
    QString m_name;
    bool m_open = false;
};

class StationWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(m_dir.path() / "ports");
        ASSERT_TRUE(srecords::WritePatternFile(m_dir.path() / "app.mot", {{0x3000, 0x30ff}}));
    }

    // A set-up that can be started: the good file, the empty ports folder, a record of its own.
    StationSetup GoodSetup() const
    {
        StationSetup setup;
        setup.firmwareFile = Text(m_dir.path() / "app.mot");
        setup.watchedFolder = Text(m_dir.path() / "ports");
        setup.record = Text(m_dir.path() / "record.sqlite");
        return setup;
    }

    StationWindow& OpenWith(const StationSetup& setup)
    {
        WriteStationSetup(m_harness.settings, setup);
        return m_harness.Open();
    }

    // A device plugged in before Start, flashed because the set-up says so.
    void PlugSilentDevice()
    {
        std::filesystem::create_symlink("/dev/null", m_dir.path() / "ports" / "usb-A1-port0");
    }

    TempDir m_dir;
    StationWindowHarness m_harness{m_dir, [] { return std::make_unique<SilentPort>(); }};
};

TEST_F(StationWindowTest, RemembersTheSetUpOnStartAndOnCloseAndShowsItAgain)
{
    StationSetup setup = GoodSetup();
    setup.jobs = 4;
    setup.retries = 2;
    setup.includePresent = true;
    StationWindow& window = OpenWith(StationSetup{});
    m_harness.Find<QLineEdit>("FirmwareFile")->setText(setup.firmwareFile);
    emit m_harness.Find<QLineEdit>("FirmwareFile")->editingFinished();
    m_harness.Find<QLineEdit>("WatchedFolder")->setText(setup.watchedFolder);
    m_harness.Find<QSpinBox>("Jobs")->setValue(setup.jobs);
    m_harness.Find<QSpinBox>("Retries")->setValue(setup.retries);
    m_harness.Find<QLineEdit>("Record")->setText(setup.record);
    m_harness.Find<QCheckBox>("IncludePresent")->setChecked(true);
    window.Start();
    EXPECT_EQ(ReadStationSetup(m_harness.settings), setup);
    window.Stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Armed(); }));

    m_harness.Find<QSpinBox>("Jobs")->setValue(7);
    EXPECT_TRUE(window.close());
    setup.jobs = 7;
    EXPECT_EQ(ReadStationSetup(m_harness.settings), setup);

    m_harness.Open();
    EXPECT_EQ(m_harness.Find<QLineEdit>("FirmwareFile")->text(), setup.firmwareFile);
    EXPECT_EQ(m_harness.Find<QSpinBox>("Jobs")->value(), 7);
    EXPECT_EQ(m_harness.Find<QSpinBox>("Retries")->value(), 2);
    EXPECT_TRUE(m_harness.Find<QCheckBox>("IncludePresent")->isChecked());
    EXPECT_TRUE(m_harness.Find<QPushButton>("CmdStart")->isEnabled());
}

TEST(StationSetupTest, DamagedValuesReadAsTheDefaults)
{
    const TempDir dir;
    QSettings settings(Text(dir.path() / "s.conf"), QSettings::IniFormat);
    const struct
    {
        const char* key;
        QVariant value;
    } rows[] = {
        {"Jobs", -1},
        {"Jobs", QStringLiteral("many")},
        {"Retries", 100},
        {"WatchedFolder", QString()},
        {"FlashPresentPorts", QStringLiteral("yes")},
        {"FirmwareFile", QStringList{QStringLiteral("a"), QStringLiteral("b")}},
    };
    for (const auto& row : rows) {
        settings.clear();
        settings.setValue(QStringLiteral("Station/") + QLatin1String(row.key), row.value);
        EXPECT_EQ(ReadStationSetup(settings), StationSetup{}) << row.key;
    }
}

TEST_F(StationWindowTest, RefusesWhatCannotRunALineWithItsReasonAndKeepsStartDisabled)
{
    ASSERT_TRUE(srecords::WriteTextFile(m_dir.path() / "bad.mot",
                                        "S1130000000102030405060708090A0B0C0D0E0F74\r\n"
                                        "S1130010000102030405060708090A0B0C0D0E0F00\r\n"));
    const struct
    {
        const char* what;
        QString firmware;
        QString record;
        const char* note;
        const char* says;
    } rows[] = {
        {"checksum", Text(m_dir.path() / "bad.mot"), {}, "FirmwareFacts", "bad.mot: line 2"},
        {"missing", Text(m_dir.path() / "none.mot"), {}, "FirmwareFacts", "cannot be opened"},
        {"password", Text(m_dir.path() / "app.mot"), QStringLiteral("postgresql://u:pw@h/db"),
         "RecordNote", "PGPASSWORD"},
    };
    for (const auto& row : rows) {
        StationSetup setup = GoodSetup();
        setup.firmwareFile = row.firmware;
        if (!row.record.isEmpty())
            setup.record = row.record;
        OpenWith(setup);
        const QString shown = m_harness.Find<QLabel>(row.note)->text();
        EXPECT_TRUE(shown.startsWith(QStringLiteral("Refused: "))) << row.what;
        EXPECT_TRUE(shown.contains(QLatin1String(row.says))) << row.what << qPrintable(shown);
        EXPECT_FALSE(m_harness.Find<QPushButton>("CmdStart")->isEnabled()) << row.what;
        m_harness.window->Start();
        EXPECT_FALSE(m_harness.window->Armed()) << row.what;
    }
}

TEST_F(StationWindowTest, ARecordThatCannotBeWrittenIsAWarningAndTheLineGoesOn)
{
    StationWindow& window = OpenWith(GoodSetup());
    // Something that is no record file takes the record's place after the set-up was checked.
    std::filesystem::create_directory(m_dir.path() / "record.sqlite");
    window.Start();
    auto* warning = m_harness.Find<QLabel>("WarningText");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !warning->text().isEmpty(); }));
    EXPECT_TRUE(warning->text().startsWith(QStringLiteral("record: ")))
        << qPrintable(warning->text());
    EXPECT_TRUE(window.Armed());
}

TEST_F(StationWindowTest, SpaceStartsAndStopsButTypesInATextField)
{
    StationWindow& window = OpenWith(GoodSetup());
    auto* firmwareFile = m_harness.Find<QLineEdit>("FirmwareFile");
    firmwareFile->setFocus();
    QTest::keyClick(firmwareFile, Qt::Key_End);
    QTest::keyClick(firmwareFile, Qt::Key_Space);
    EXPECT_FALSE(window.Armed());
    EXPECT_TRUE(firmwareFile->text().endsWith(QLatin1Char(' ')));
    QTest::keyClick(firmwareFile, Qt::Key_Backspace);
    emit firmwareFile->editingFinished();

    m_harness.Find<QPushButton>("CmdStart")->setFocus();
    QTest::keyClick(&window, Qt::Key_Space);
    EXPECT_TRUE(window.Armed());
    EXPECT_TRUE(firmwareFile->isReadOnly());
    QTest::keyClick(&window, Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Armed(); }));
    EXPECT_EQ(m_harness.Find<QLabel>("StatusText")->text(),
              QStringLiteral("Stopped: no download was running"));
    EXPECT_FALSE(firmwareFile->isReadOnly());
}

TEST_F(StationWindowTest, F1OpensTheHelpDocument)
{
    StationWindow& window = OpenWith(GoodSetup());
    QTest::keyClick(&window, Qt::Key_F1);
    EXPECT_EQ(m_harness.dialogs.opened, std::vector<QString>{QStringLiteral("help.htm")});
}

TEST_F(StationWindowTest, ClosingAsksOnlyWhileDevicesAreDownloaded)
{
    StationWindow& idle = OpenWith(GoodSetup());
    EXPECT_TRUE(idle.close());
    idle.show();
    idle.Start();
    EXPECT_FALSE(idle.close()); // closes once the station has finished
    ASSERT_TRUE(QTest::qWaitFor([&] { return !idle.isVisible(); }));
    EXPECT_TRUE(m_harness.boxes.shown.empty());

    PlugSilentDevice();
    StationSetup setup = GoodSetup();
    setup.includePresent = true;
    StationWindow& busy = OpenWith(setup);
    busy.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return busy.RunningDownloads() > 0; }));
    EXPECT_FALSE(busy.close()); // not answered Yes: it goes on
    ASSERT_EQ(m_harness.boxes.shown.size(), 1u);
    EXPECT_TRUE(m_harness.boxes.shown.front().startsWith(QStringLiteral("1 download is running.")));
    EXPECT_TRUE(busy.Armed());

    m_harness.boxes.answers.push_back(kAnswerYes);
    busy.close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !busy.isVisible(); }, 10000));
    EXPECT_EQ(m_harness.Find<QLabel>("StatusText")->text(),
              QStringLiteral("Stopped: 1 download was stopped"));
}

} // namespace
