// The real station window on an X desktop (run by x_desktop.py under Xvfb and openbox) with
// virtual devices on pseudo-terminals linked into a watched folder, as USB adapters appear in
// /dev/serial/by-id: devices plugged in after Start are downloaded and recorded, a faulty one
// stays failed, one unplugged mid-download says so, Stop ends the ones still running, and the
// operator lock hides the set-up.
#include "PortTile.h"
#include "QtSerialPort.h"
#include "SRecordText.h"
#include "StationSetup.h"
#include "StationWindowHarness.h"

#include <QAction>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <vector>

namespace {

constexpr int kWaitMs = 30000;

QString Text(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

// One norvane-devsim process whose link in the watched folder is its adapter.
class Device
{
public:
    Device(const QString& link, const QStringList& options) : m_link(link)
    {
        m_process.start(QStringLiteral(NORVANE_DEVSIM),
                        QStringList{QStringLiteral("--link"), link} + options);
    }
    ~Device() { Unplug(); }

    // Once the device is up, its link is there.
    bool Started() { return m_process.waitForReadyRead(kWaitMs); }
    // The adapter is pulled: the process ends and takes its link with it.
    void Unplug()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        m_process.waitForFinished(kWaitMs);
    }
    const QString& Link() const { return m_link; }

private:
    QString m_link;
    QProcess m_process;
};

class StationOnDesktopTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(m_dir.path() / "by-id");
        // With a header, which the device verifies; long enough for a paced device to be caught
        // downloading, over in a moment unpaced.
        ASSERT_TRUE(srecords::WritePatternFile(m_dir.path() / "app.mot",
                                               {{0x0000, 0x01ff}, {0x3000, 0x9fff}}));
        StationSetup setup;
        setup.firmwareFile = Text(m_dir.path() / "app.mot");
        setup.watchedFolder = Text(m_dir.path() / "by-id");
        setup.record = Text(m_dir.path() / "record.sqlite");
        WriteStationSetup(m_harness.settings, setup);
    }

    Device& Plug(int number, const QStringList& options = {})
    {
        const QString name = QStringLiteral("usb-FTDI_FT232R_USB_UART_A600%1-if00-port0")
                                 .arg(number, 4, 10, QLatin1Char('0'));
        m_devices.push_back(
            std::make_unique<Device>(Text(m_dir.path() / "by-id") + u'/' + name, options));
        EXPECT_TRUE(m_devices.back()->Started()) << qPrintable(name);
        return *m_devices.back();
    }

    PortTile* TileOf(const Device& device) const
    {
        return m_harness.Find<PortTile>(qPrintable(QStringLiteral("tile:") + device.Link()));
    }

    testing::AssertionResult Reaches(const Device& device, TileState state) const
    {
        return ReachesOneOf(device, {state});
    }

    testing::AssertionResult ReachesOneOf(const Device& device,
                                          std::initializer_list<TileState> states) const
    {
        const auto reached = [&] {
            const PortTile* tile = TileOf(device);
            return tile && std::find(states.begin(), states.end(), tile->State()) != states.end();
        };
        if (QTest::qWaitFor(reached, kWaitMs))
            return testing::AssertionSuccess();
        const PortTile* tile = TileOf(device);
        if (!tile)
            return testing::AssertionFailure() << "no tile for " << qPrintable(device.Link());
        return testing::AssertionFailure()
               << "the tile says " << Words(*tile, "State") << " / " << Words(*tile, "Detail");
    }

    static std::string Words(const PortTile& tile, const char* label)
    {
        return tile.findChild<QLabel*>(QLatin1String(label))->text().toStdString();
    }

    int RecordedRows() const
    {
        int rows = -1;
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            db.setDatabaseName(Text(m_dir.path() / "record.sqlite"));
            if (db.open()) {
                QSqlQuery query(QStringLiteral("SELECT COUNT(*) FROM downloads"), db);
                if (query.next())
                    rows = query.value(0).toInt();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
        return rows;
    }

    TempDir m_dir;
    StationWindowHarness m_harness{m_dir, [] { return std::make_unique<QtSerialPort>(); }};
    std::vector<std::unique_ptr<Device>> m_devices;
};

TEST_F(StationOnDesktopTest, FlashesEveryDevicePluggedInAndStopsThoseStillRunning)
{
    StationWindow& window = m_harness.Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(m_harness.Find<QPushButton>("CmdStart"), Qt::LeftButton);
    ASSERT_TRUE(window.Armed());

    std::vector<Device*> good;
    for (int number = 1; number <= 5; ++number)
        good.push_back(&Plug(number));
    Device& faulty = Plug(6, {QStringLiteral("--fault"), QStringLiteral("fail-verify")});
    for (const Device* device : good)
        EXPECT_TRUE(Reaches(*device, TileState::Done)) << qPrintable(device->Link());
    ASSERT_TRUE(Reaches(faulty, TileState::Failed));
    EXPECT_FALSE(Words(*TileOf(faulty), "Detail").empty());

    // Paced as a real line is, so that they are still downloading when the test acts.
    Device& unplugged = Plug(7, {QStringLiteral("--pace")});
    Device& stopped = Plug(8, {QStringLiteral("--pace")});

    ASSERT_TRUE(Reaches(unplugged, TileState::Running));
    unplugged.Unplug();
    // The link may go before the run has noticed the line is lost, or after.
    ASSERT_TRUE(ReachesOneOf(unplugged, {TileState::Unplugged, TileState::Failed}));
    if (TileOf(unplugged)->State() == TileState::Failed) {
        EXPECT_NE(Words(*TileOf(unplugged), "Detail").find("disconnected"), std::string::npos);
    }

    ASSERT_TRUE(Reaches(stopped, TileState::Running));
    // The unplugged device's run ends once it finds its line gone.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.RunningDownloads() == 1; }, kWaitMs));
    QTest::mouseClick(m_harness.Find<QPushButton>("CmdStop"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Armed(); }, kWaitMs));
    EXPECT_EQ(TileOf(stopped)->State(), TileState::Stopped);
    EXPECT_EQ(TileOf(faulty)->State(), TileState::Failed);
    EXPECT_EQ(m_harness.Find<QLabel>("StatusText")->text(),
              QStringLiteral("Stopped: 1 download was stopped"));
    // Every try of the eight devices has its row.
    EXPECT_GE(RecordedRows(), 8);
}

TEST_F(StationOnDesktopTest, TheOperatorLockHidesTheSetUp)
{
    m_harness.settings.setValue(QStringLiteral("Station/Locked"), true);
    StationWindow& window = m_harness.Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_FALSE(m_harness.Find<QScrollArea>("SetupArea")->isVisible());
    bool unlockOffered = false;
    for (const QAction* action : window.findChildren<QAction*>())
        unlockOffered |= action->text() == QStringLiteral("Unlock Set-up…") && action->isEnabled();
    EXPECT_TRUE(unlockOffered);
    EXPECT_TRUE(m_harness.Find<QPushButton>("CmdStart")->isVisible());
    EXPECT_TRUE(m_harness.Find<QPushButton>("CmdStart")->isEnabled());
}

} // namespace
