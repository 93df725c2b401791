// Cancel at each stage of a run: where it is noticed, what is asked and what the device gets.
#include "DownloadFixture.h"
#include "DownloadTexts.h"

namespace {

const std::vector<AddressRange> kFourSteps{{0x0000, 0x007F}, {0x3000, 0x317F}};
const std::vector<AddressRange> kApplicationSteps{{0x3000, 0x31FF}};

TEST_F(DownloadFixture, CancelDuringProgrammingAsksAndGoesOnAfterNoThenStopsAfterYes)
{
    Connect();
    int steps = 0;
    view.onPercent = [&](const QString& percent) {
        if (percent == "0 %")
            return;
        ++steps;
        if (steps == 1 || steps == 2)
            engine->RequestCancel();
    };
    view.answers = {Answer::No, Answer::Yes};

    ASSERT_TRUE(Run(MakeFile(kApplicationSteps)));

    ASSERT_EQ(view.boxes.size(), 2u);
    for (const ShownBox& box : view.boxes) {
        EXPECT_EQ(box.prompt,
                  "Firmware is being downloaded.\r\n\r\nAre you sure you want to quit?");
        EXPECT_EQ(box.kind, MessageKind::YesNo);
        EXPECT_EQ(box.title, "");
    }
    // Step 1 was followed by step 2; nothing was sent after Yes, no header.
    EXPECT_EQ(Commands(), QStringList({"erase 4", "program 03000", "program 03080"}));
    EXPECT_EQ(view.status, "Firmware download canceled!");
    EXPECT_EQ(engine->LastResult()->outcome, Outcome::Cancelled);
    EXPECT_FALSE(view.progressVisible);
    EXPECT_TRUE(view.downloadEnabled);
    EXPECT_TRUE(engine->FileLoaded());
}

TEST_F(DownloadFixture, CancelWhileACommandWaitsIsActedOnAfterThatStep)
{
    Connect();
    // Pressed while the first program command waits for its replies.
    port.SetWriteObserver([&](const QByteArray& bytes) {
        if (bytes.size() == 139 && static_cast<uint8_t>(bytes[2]) == 0x01)
            host.After(1, [&] { engine->RequestCancel(); });
    });
    view.answers = {Answer::Yes};

    ASSERT_TRUE(Run(MakeFile(kFourSteps)));

    EXPECT_EQ(Commands(), QStringList({"erase-program 1 00000", "erase 4", "program 03000"}));
    EXPECT_EQ(device->FlashMemory().Bytes()[0x3000], image[0x3000]);
    EXPECT_EQ(view.status, "Firmware download canceled!");
}

TEST_F(DownloadFixture, CancelDuringTheLoadEndsTheRunQuietly)
{
    Connect();
    const QString file = MakeFile(kFourSteps);
    host.Schedule(0, [&] { engine->RequestCancel(); });

    ASSERT_TRUE(Run(file));

    EXPECT_EQ(view.status, "");
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_FALSE(engine->FileLoaded());
    EXPECT_TRUE(port.Written().isEmpty());
    EXPECT_EQ(engine->LastResult()->outcome, Outcome::Cancelled);
    EXPECT_FALSE(view.cancelVisible);
    EXPECT_TRUE(view.downloadEnabled);
}

TEST_F(DownloadFixture, CancelWhileTheBootloaderStartsSendsNoCommand)
{
    Connect(*ParseFaultPlan("no-polls", nullptr));
    view.onStatus = [&](const QString& text) {
        if (text == kStatusStartingBootloader)
            host.After(400, [&] { engine->RequestCancel(); });
    };

    ASSERT_TRUE(Run(MakeFile(kFourSteps)));

    EXPECT_EQ(view.status, "");
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_TRUE(Commands().isEmpty());
    EXPECT_LT(PollsReceived(), 10);
    EXPECT_TRUE(engine->FileLoaded());
    EXPECT_EQ(engine->LastResult()->outcome, Outcome::Cancelled);
    EXPECT_EQ(view.focusCount, 1); // the closing step ran
}

class CancelAfterProgramming : public DownloadFixture,
                               public ::testing::WithParamInterface<const char*>
{
};

TEST_P(CancelAfterProgramming, IsNotAskedAndTheRunCompletes)
{
    Connect();
    const QString stage = QString::fromUtf8(GetParam());
    view.onStatus = [&](const QString& text) {
        if (text == stage)
            engine->RequestCancel();
    };

    ASSERT_TRUE(Run(MakeFile(kFourSteps)));

    EXPECT_TRUE(view.boxes.empty());
    EXPECT_TRUE(view.status.startsWith("Firmware downloaded OK!"));
    EXPECT_TRUE(device->LastHeader()->verified);

    // The request came too late for this run and does not stop the next one.
    ASSERT_TRUE(Run(MakeFile(kFourSteps)));
    EXPECT_TRUE(view.status.startsWith("Firmware downloaded OK!"));
}

INSTANTIATE_TEST_SUITE_P(
    HeaderAndVerify, CancelAfterProgramming,
    ::testing::Values("Downloading firmware - Programming header...",
                      "Downloading firmware - Verifying downloading firmware..."));

} // namespace

namespace {

// The window ends the program by throwing out of a wait; the engine is idle afterwards.
TEST_F(DownloadFixture, AnExceptionThroughARunLeavesTheEngineIdle)
{
    struct Ending
    {
    };
    Connect();
    const QString file = MakeFile({{0x0000, 0x01FF}});
    view.onPercent = [&](const QString& text) {
        if (text != "50 %")
            return;
        EXPECT_TRUE(engine->IsProgramming());
        throw Ending();
    };

    EXPECT_THROW((void)Run(file), Ending);

    EXPECT_FALSE(engine->IsRunning());
    EXPECT_FALSE(engine->IsProgramming());
    view.onPercent = nullptr;
    EXPECT_TRUE(Run(file));
    EXPECT_EQ(engine->LastResult()->outcome, Outcome::Downloaded);
}

} // namespace
