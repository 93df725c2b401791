// Runs that go wrong: a device that misbehaves, a file that cannot be used, a line that goes
// away, and requests that come in while a run is in progress.
#include "DownloadFixture.h"
#include "DownloadTexts.h"

#include <QFile>

namespace {

// Commands: erase-and-program at 0, erase 4, program 3000, then the header as command 4, whose
// verify report is its reply 3.
const std::vector<AddressRange> kSmallImage{{0x0000, 0x007F}, {0x3000, 0x307F}};

void ExpectDownloadError(const RecordingView& view)
{
    EXPECT_EQ(view.status, "Firmware download error!");
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].prompt, "Error occured while downloading firmware.");
    EXPECT_EQ(view.boxes[0].kind, MessageKind::Warning);
    EXPECT_EQ(view.boxes[0].title, "Firmware Download Error");
    EXPECT_FALSE(view.progressVisible);
    EXPECT_FALSE(view.cancelVisible);
    EXPECT_TRUE(view.downloadEnabled);
}

struct VerifyCase
{
    const char* name;
    const char* faults;
    QByteArray injected; // bytes that arrive instead of the report, when not empty
    bool success;
    const char* reason; // the failure's word
};

class VerifyReport : public DownloadFixture, public ::testing::WithParamInterface<VerifyCase>
{
};

TEST_P(VerifyReport, OnlyCodeSixInByteOneMeansVerified)
{
    const VerifyCase& c = GetParam();
    Connect(*ParseFaultPlan(QString::fromUtf8(c.faults), nullptr));
    view.onStatus = [&](const QString& text) {
        if (text == kStatusVerifying && !c.injected.isEmpty())
            port.Inject(c.injected);
    };

    ASSERT_TRUE(Run(MakeFile(kSmallImage)));

    if (c.success) {
        EXPECT_TRUE(view.status.startsWith("Firmware downloaded OK!"));
        EXPECT_EQ(engine->LastResult()->outcome, Outcome::Downloaded);
    } else {
        ExpectDownloadError(view);
        EXPECT_EQ(engine->LastResult()->outcome, Outcome::Failed);
        EXPECT_FALSE(engine->LastResult()->verified);
        const FailureReason& reason = engine->LastResult()->reason;
        EXPECT_EQ(ReasonWord(reason.kind), c.reason);
        EXPECT_EQ(reason.command, kCommandHeader);
        EXPECT_EQ(view.boxes.at(0).detail, ReasonText(reason));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, VerifyReport,
    ::testing::Values(VerifyCase{"Report7E06", "", {}, true, ""},
                      VerifyCase{"Report0006", "drop:4:3", QByteArray("\x00\x06", 2), true, ""},
                      VerifyCase{"Report7E05", "change:4:3:5", {}, false, "wrong-reply"},
                      VerifyCase{"OneByteThenSilence", "one-byte:4:3", {}, false, "no-reply"},
                      VerifyCase{"NoReport", "drop:4:3", {}, false, "no-reply"},
                      VerifyCase{"VerifyFails", "fail-verify", {}, false, "verify-refused"}),
    [](const ::testing::TestParamInfo<VerifyCase>& info) { return std::string(info.param.name); });

TEST_F(DownloadFixture, FailingEraseOfBlockNineStopsEverythingAfterIt)
{
    // Commands: erase-program 0, erase 4 to 7 (blank, but checked by the device), erase 8,
    // program 7000, program 7080, erase 9 (fails), ...
    Connect(*ParseFaultPlan("change:9:2:9", nullptr));

    ASSERT_TRUE(
        Run(MakeFile({{0x0000, 0x007F}, {0x7000, 0x70FF}, {0x8000, 0x80FF}, {0x10000, 0x1007F}})));

    EXPECT_EQ(Commands(),
              QStringList({"erase-program 1 00000", "erase 4", "erase 5", "erase 6", "erase 7",
                           "erase 8", "program 07000", "program 07080", "erase 9"}));
    EXPECT_TRUE(FlashBlank(0x8000, kLastImageAddress));
    ExpectDownloadError(view);
    EXPECT_EQ(engine->LastResult()->outcome, Outcome::Failed);
    EXPECT_EQ(engine->LastResult()->reason, (FailureReason{.kind = FailureKind::WrongReply,
                                                           .command = kCommandErase,
                                                           .block = 9,
                                                           .reply = 2,
                                                           .expected = 2,
                                                           .received = 9}));
    EXPECT_EQ(view.boxes.at(0).detail, "The device replied with code 9 to the erase command "
                                       "(block 9) where code 2 was due.");
}

TEST_F(DownloadFixture, DeviceThatNeverAnswersPollsEndsInTheBootloaderBox)
{
    Connect(*ParseFaultPlan("no-polls", nullptr));

    ASSERT_TRUE(Run(MakeFile(kSmallImage)));

    EXPECT_EQ(port.Written().count("~# 0155"), kMaxPolls);
    EXPECT_EQ(view.status, "");
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].prompt, "Could not start the Bootloader!");
    EXPECT_EQ(view.boxes[0].kind, MessageKind::Warning);
    EXPECT_EQ(view.boxes[0].title, "Firmware Download Error");
    EXPECT_FALSE(view.cancelVisible);
    EXPECT_TRUE(view.downloadEnabled);
    EXPECT_EQ(view.focusCount, 0); // no closing step
    EXPECT_TRUE(Commands().isEmpty());
    EXPECT_EQ(engine->LastResult()->outcome, Outcome::BootloaderNotStarted);
    EXPECT_EQ(ReasonWord(engine->LastResult()->reason.kind), "bootloader-not-started");
    EXPECT_EQ(view.boxes[0].detail, "The device did not answer 200 polls for its bootloader.");
}

struct FileCase
{
    const char* name;
    const char* content; // nullptr: no file at all
    bool emptyName;
    bool badFileBox;
};

class UnusableFile : public DownloadFixture, public ::testing::WithParamInterface<FileCase>
{
};

TEST_P(UnusableFile, EndsEarlyWithItsBoxAndSendsNothing)
{
    const FileCase& c = GetParam();
    Connect();
    QString fileName = c.emptyName ? QString() : dir.filePath("fw.mot");
    if (c.content) {
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.content);
    }

    ASSERT_TRUE(Run(fileName));

    ASSERT_EQ(view.boxes.size(), 1u);
    if (c.badFileBox) {
        EXPECT_EQ(view.boxes[0].prompt, fileName +
                                            "\r\ncould not be loaded.\r\n\r\n"
                                            "Ensure that it is a valid S-Record firmware file.");
        EXPECT_EQ(view.boxes[0].kind, MessageKind::Information);
        EXPECT_EQ(view.boxes[0].title, "S-Record Error");
    } else {
        EXPECT_EQ(view.boxes[0].prompt, "The specified firmware file does not exist!");
        EXPECT_EQ(view.boxes[0].kind, MessageKind::Error);
        EXPECT_EQ(view.boxes[0].title, "File Not Found");
    }
    EXPECT_EQ(view.statuses, QStringList({"Loading the firmware file...", ""}));
    EXPECT_FALSE(engine->FileLoaded());
    EXPECT_TRUE(port.Written().isEmpty());
    EXPECT_EQ(engine->LastResult()->outcome, Outcome::FileUnusable);
    EXPECT_FALSE(view.cancelVisible);
    EXPECT_TRUE(view.downloadEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnusableFile,
    ::testing::Values(FileCase{"Missing", nullptr, false, false},
                      FileCase{"EmptyName", nullptr, true, false},
                      FileCase{"NotSRecords", "hello\r\n", false, true},
                      FileCase{"BadChecksum", "S1050000AABB00\r\nS9030000FC\r\n", false, true}),
    [](const ::testing::TestParamInfo<FileCase>& info) { return std::string(info.param.name); });

// Mended: a second run requested while one runs (Enter in the file name box) is refused and
// the running one goes on untouched.
TEST_F(DownloadFixture, RunRequestedDuringARunIsRefused)
{
    Connect();
    const QString file = MakeFile({{0x0000, 0x00FF}, {0x3000, 0x307F}});
    const QString other = dir.filePath("other.mot");
    WriteMotFile(other, PatternImage({{0x3000, 0x307F}}), {{0x3000, 0x307F}});
    std::vector<bool> accepted;
    view.onStatus = [&](const QString& text) {
        if (text == kStatusStartingBootloader || text.contains("Programming device"))
            host.After(1, [&] { accepted.push_back(engine->Run(other)); });
    };

    ASSERT_TRUE(Run(file));

    EXPECT_EQ(accepted, std::vector<bool>({false, false}));
    EXPECT_EQ(view.statuses.count("Loading the firmware file..."), 1);
    EXPECT_EQ(Commands(), QStringList({"erase-program 1 00000", "program 00080", "erase 4",
                                       "program 03000", "header 0307F"}));
    EXPECT_TRUE(view.status.startsWith("Firmware downloaded OK!"));
    EXPECT_EQ(engine->LastResult()->outcome, Outcome::Downloaded);
}

// Mended: the cable pulled in the middle of programming ends the run as a download error.
TEST_F(DownloadFixture, LineLostDuringProgrammingIsADownloadError)
{
    Connect(*ParseFaultPlan("close-after:2", nullptr));

    ASSERT_TRUE(Run(MakeFile({{0x0000, 0x01FF}})));

    ExpectDownloadError(view);
    EXPECT_EQ(engine->LastResult()->outcome, Outcome::Failed);
    EXPECT_EQ(engine->LastResult()->reason.kind, FailureKind::LineLost);
    EXPECT_EQ(view.boxes.at(0).detail, "The device or adapter was disconnected.");
    EXPECT_LT(host.NowMs(), 10'000); // no reply time-outs waited out on a dead line
}

// Mended: the adapter gone while the bootloader is polled ends the run at once as a download
// error, not after every poll has timed out.
TEST_F(DownloadFixture, LineLostWhileStartingTheBootloaderIsADownloadError)
{
    Connect(*ParseFaultPlan("no-polls", nullptr));
    view.onStatus = [&](const QString& text) {
        if (text == kStatusStartingBootloader)
            host.After(500, [&] { port.PullCable(); });
    };

    ASSERT_TRUE(Run(MakeFile(kSmallImage)));

    ExpectDownloadError(view);
    EXPECT_EQ(engine->LastResult()->reason.kind, FailureKind::LineLost);
    EXPECT_LT(host.NowMs(), 2'000);
    EXPECT_TRUE(engine->FileLoaded());
}

TEST_F(DownloadFixture, PortNotOpenIsADownloadErrorWithNothingSent)
{
    Connect();
    port.Close();

    ASSERT_TRUE(Run(MakeFile(kSmallImage)));

    ExpectDownloadError(view);
    EXPECT_TRUE(port.Written().isEmpty());
}

// Mended: a file name changed while the file is read does not leave the old image marked as
// loaded; the next run loads the name the box shows.
TEST_F(DownloadFixture, NameChangedDuringTheLoadMakesTheNextRunLoadTheNewName)
{
    Connect();
    const QString first = MakeFile({{0x0000, 0x00FF}, {0x3000, 0x307F}}, "first.mot");
    host.Schedule(0, [&] { engine->FileNameChanged(); });

    ASSERT_TRUE(Run(first));
    EXPECT_FALSE(engine->FileLoaded());
    EXPECT_EQ(view.fileState, "File: Not Loaded");

    const std::vector<AddressRange> secondRanges{{0x0000, 0x017F}, {0x3000, 0x31FF}};
    const QString second = MakeFile(secondRanges, "second.mot");
    view.statuses.clear();
    ASSERT_TRUE(Run(second));

    EXPECT_EQ(view.statuses.first(), "Loading the firmware file...");
    EXPECT_TRUE(engine->FileLoaded());
    EXPECT_TRUE(FlashHolds(image, secondRanges));
    EXPECT_EQ(device->LastHeader()->last, 0x31FF);
    EXPECT_TRUE(device->LastHeader()->verified);
}

} // namespace
