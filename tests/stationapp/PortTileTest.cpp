// A tile through the events of its port: what it says after each, and that an ended run
// keeps its outcome until the device is unplugged.
#include "PortTile.h"
#include "PortRun.h"
#include "StateIcon.h"
#include "TileBoard.h"
#include "TileResults.h"

#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

const QString kPort =
    QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0");

struct Step
{
    const char* event;
    std::function<void(TileBoard&)> apply;
    TileState state;
    QString words;     // the "State" label
    const char* label; // another label to check, or null
    QString labelText; // its text, or the start of it
};

struct SequenceCase
{
    const char* name;
    std::vector<Step> steps;
};

RunProgress HalfWay()
{
    RunProgress progress;
    progress.value = 50;
    progress.maximum = 100;
    progress.percent = 50;
    progress.elapsedMs = 10'000;
    progress.remainingMs = 12'000;
    return progress;
}

const Step kPlugged{
    "Plugged",          [](TileBoard& b) { b.Plugged(kPort, QStringLiteral("A6008isP")); },
    TileState::Waiting, QStringLiteral("Waiting"),
    "Serial",           QStringLiteral("A6008isP")};
const Step kStarted{"Started",          [](TileBoard& b) { b.Started(kPort); },
                    TileState::Running, QStringLiteral("Running"),
                    "Percent",          QStringLiteral("0 %")};
const Step kHalfWay{"Progress",
                    [](TileBoard& b) { b.Progress(kPort, HalfWay()); },
                    TileState::Running,
                    QStringLiteral("Running"),
                    "Times",
                    QStringLiteral("00:10 elapsed, 00:12 left")};
const Step kUnplugged{"Unplugged",
                      [](TileBoard& b) { b.Unplugged(kPort); },
                      TileState::Unplugged,
                      QStringLiteral("Unplugged"),
                      "Times",
                      QString()};

std::function<void(TileBoard&)> TryEnds(const TryResult& result)
{
    return [result](TileBoard& b) { b.TryEnded(result); };
}

std::function<void(TileBoard&)> Ends(const TryResult& result)
{
    return [result](TileBoard& b) { b.Ended(result); };
}

const QString kNoReply = FailedTry(kPort, 1, FailureKind::NoReply).detail;

const std::vector<SequenceCase> kSequences = {
    {"DownloadedOnTheFirstTry",
     {kPlugged,
      kStarted,
      kHalfWay,
      {"TryEnded",
       TryEnds(DownloadedTry(kPort, 1, 20'000)),
       TileState::Running,
       QStringLiteral("Running"),
       nullptr,
       {}},
      {"Ended", Ends(DownloadedTry(kPort, 1, 20'000)), TileState::Done,
       QStringLiteral("Downloaded"), "Times", QStringLiteral("took 00:20")},
      {"Ended", Ends(DownloadedTry(kPort, 1, 20'000)), TileState::Done,
       QStringLiteral("Downloaded"), "Detail", QStringLiteral("Verified by the device")}}},
    {"FailedStaysFailedUntilUnplugged",
     {kPlugged,
      kStarted,
      {"TryEnded", TryEnds(FailedTry(kPort, 1, FailureKind::NoReply)), TileState::Retrying,
       QStringLiteral("Retrying"), "Detail", QStringLiteral("Try 1 failed: ") + kNoReply},
      {"Progress", [](TileBoard& b) { b.Progress(kPort, HalfWay()); }, TileState::Running,
       QStringLiteral("Running, try 2"), "Percent", QStringLiteral("50 %")},
      {"Ended", Ends(FailedTry(kPort, 2, FailureKind::NoReply)), TileState::Failed,
       QStringLiteral("Download failed"), "Detail", kNoReply},
      {"Status", [](TileBoard& b) { b.Status(kPort, QStringLiteral("Erasing")); },
       TileState::Failed, QStringLiteral("Download failed"), "Detail", kNoReply},
      {"Progress", [](TileBoard& b) { b.Progress(kPort, HalfWay()); }, TileState::Failed,
       QStringLiteral("Download failed"), "Times", QStringLiteral("took 00:05")},
      kUnplugged}},
    {"ANewDeviceStartsFresh",
     {kPlugged,
      kStarted,
      {"LinkNote", [](TileBoard& b) { b.SetLinkNote(kPort, QStringLiteral("slow replies")); },
       TileState::Running, QStringLiteral("Running"), "LinkNote", QStringLiteral("slow replies")},
      {"Ended",
       Ends(FailedTry(kPort, 1, FailureKind::VerifyRefused)),
       TileState::Failed,
       QStringLiteral("Download failed"),
       nullptr,
       {}},
      {"Plugged", [](TileBoard& b) { b.Plugged(kPort, QString()); }, TileState::Waiting,
       QStringLiteral("Waiting"), "LinkNote", QString()},
      {"Serial", [](TileBoard&) {}, TileState::Waiting, QStringLiteral("Waiting"), "Serial",
       QStringLiteral("A6008isP")},
      {"Times", [](TileBoard&) {}, TileState::Waiting, QStringLiteral("Waiting"), "Times",
       QString()}}},
    {"LineLostUntilUnplugged",
     {kPlugged,
      kStarted,
      {"Ended",
       Ends(FailedTry(kPort, 1, FailureKind::LineLost)),
       TileState::Failed,
       QStringLiteral("Download failed"),
       nullptr,
       {}},
      {"LineLost", [](TileBoard& b) { b.LineLost(kPort); }, TileState::LineLost,
       QStringLiteral("Line lost"), "Detail", QStringLiteral("Line lost; unplug to go on")},
      kUnplugged}},
    {"UnpluggedWhileRunning",
     {kPlugged,
      kStarted,
      kUnplugged,
      {"Ended", Ends(FailedTry(kPort, 1, FailureKind::LineLost)), TileState::Unplugged,
       QStringLiteral("Unplugged"), "Detail",
       QStringLiteral("Download failed: ") + FailedTry(kPort, 1, FailureKind::LineLost).detail},
      kPlugged}},
    {"StoppedAndLeftAlone",
     {{"LeftAlone",
       [](TileBoard& b) { b.LeftAlone(kPort); },
       TileState::LeftAlone,
       QStringLiteral("Left alone"),
       nullptr,
       {}},
      {"Progress",
       [](TileBoard& b) { b.Progress(kPort, HalfWay()); },
       TileState::LeftAlone,
       QStringLiteral("Left alone"),
       nullptr,
       {}},
      kPlugged,
      kStarted,
      {"Ended",
       Ends(StoppedTry(kPort)),
       TileState::Stopped,
       QStringLiteral("Stopped"),
       nullptr,
       {}}}},
    {"PortCannotBeOpened",
     {kPlugged,
      {"Ended",
       Ends(FailedTry(kPort, 1, FailureKind::PortBusy)),
       TileState::Failed,
       QStringLiteral("Port cannot be opened"),
       nullptr,
       {}}}},
};

class PortTileTest : public testing::TestWithParam<SequenceCase>
{
};

// After every event: the state's words and icon, the label that event changes, and no
// single-line text wider than its room.
TEST_P(PortTileTest, StateAfterEachEvent)
{
    TileBoard board;
    board.resize(1200, 800);
    board.show();
    for (const Step& step : GetParam().steps) {
        SCOPED_TRACE(step.event);
        step.apply(board);
        QApplication::processEvents(); // the tile is laid out and shown
        PortTile* tile = board.Tile(kPort);
        ASSERT_TRUE(tile);
        EXPECT_EQ(tile->objectName(), QStringLiteral("tile:") + kPort);
        EXPECT_EQ(tile->State(), step.state);
        EXPECT_EQ(tile->findChild<QLabel*>(QStringLiteral("State"))->text(), step.words);
        EXPECT_EQ(tile->findChild<StateIcon*>(QStringLiteral("Icon"))->State(), step.state);
        if (step.label) {
            const QString text = tile->findChild<QLabel*>(QString::fromLatin1(step.label))->text();
            EXPECT_TRUE(step.labelText.isEmpty() ? text.isEmpty() : text.startsWith(step.labelText))
                << text.toStdString();
        }
        for (const QLabel* label : tile->findChildren<QLabel*>()) {
            if (!label->wordWrap()) {
                EXPECT_LE(label->sizeHint().width(), label->width())
                    << label->objectName().toStdString() << ": " << label->text().toStdString();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tile, PortTileTest, testing::ValuesIn(kSequences),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
