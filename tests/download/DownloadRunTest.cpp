// Whole runs against the virtual device: what the status line shows, which commands reach
// the device in which order, and what ends up in its flash.
#include "DownloadFixture.h"
#include "DownloadTexts.h"

#include <QFile>

namespace {

const std::vector<AddressRange> kSmallApplication{{0x0000, 0x00FF}, {0x3000, 0x30FF}};

TEST_F(DownloadFixture, FullRunShowsEveryStageAndLeavesTheImageVerified)
{
    Connect();
    const QString file = MakeFile(kSmallApplication);

    ASSERT_TRUE(Run(file));

    const QString crc = ExpectedCrc(0x30FF);
    EXPECT_EQ(view.statuses,
              QStringList({"Loading the firmware file...", "Calculating CRC...",
                           "Attempting to start BootLoader...",
                           "Downloading firmware - Generating CRC...",
                           "Downloading firmware (CRC - " + crc + "h) - Programming device...",
                           "Downloading firmware - Programming header...",
                           "Downloading firmware - Verifying downloading firmware...",
                           "Firmware downloaded OK! (CRC - " + crc + "h)"}));
    EXPECT_EQ(view.fileState, "File: CRC - " + crc + "h");
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_EQ(engine->LastResult()->outcome, Outcome::Downloaded);
    EXPECT_TRUE(engine->LastResult()->verified);
    EXPECT_TRUE(engine->FileLoaded());
    EXPECT_FALSE(engine->IsProgramming());
    ASSERT_TRUE(device->LastHeader().has_value());
    EXPECT_TRUE(device->LastHeader()->verified);
    EXPECT_TRUE(FlashHolds(image, kSmallApplication));
    EXPECT_TRUE(device->Violations().empty());
    // The closing step puts the controls back.
    EXPECT_FALSE(view.progressVisible);
    EXPECT_EQ(view.percent, "");
    EXPECT_FALSE(view.cancelVisible);
    EXPECT_TRUE(view.downloadEnabled);
    EXPECT_EQ(view.focusCount, 1);
}

TEST_F(DownloadFixture, SecondRunSkipsTheLoadAndProgramsTheFirstImage)
{
    Connect();
    const QString file = MakeFile(kSmallApplication);
    const FirmwareImage firstImage = image;
    ASSERT_TRUE(Run(file));
    // The file changes on disk; without a change of the name it is not read again.
    MakeFile({{0x0000, 0x01FF}});
    view.statuses.clear();

    ASSERT_TRUE(Run(file));

    ASSERT_FALSE(view.statuses.isEmpty());
    EXPECT_EQ(view.statuses.first(), "Attempting to start BootLoader...");
    EXPECT_FALSE(view.statuses.contains("Loading the firmware file..."));
    EXPECT_FALSE(view.statuses.contains("Calculating CRC..."));
    EXPECT_EQ(engine->LastResult()->outcome, Outcome::Downloaded);
    EXPECT_TRUE(FlashHolds(firstImage, kSmallApplication));
    EXPECT_EQ(device->LastHeader()->last, 0x30FF);
}

TEST_F(DownloadFixture, ErasesEachBlockOnceJustBeforeItsFirstStepAndSkipsBlankSteps)
{
    Connect();
    ASSERT_TRUE(Run(MakeFile({{0x0000, 0x12FF}, {0x3000, 0x30FF}})));

    QStringList expected{"erase-program 1 00000"};
    for (int32_t address = 0x0080; address <= 0x0F80; address += 0x80)
        expected << "program " +
                        QStringLiteral("%1").arg(address, 5, 16, QLatin1Char('0')).toUpper();
    expected << "erase 2";
    for (int32_t address = 0x1000; address <= 0x1280; address += 0x80)
        expected << "program " +
                        QStringLiteral("%1").arg(address, 5, 16, QLatin1Char('0')).toUpper();
    expected << "erase 4"
             << "program 03000"
             << "program 03080"
             << "header 030FF";
    EXPECT_EQ(Commands(), expected);
    EXPECT_EQ(view.progressMaximum, 98);
    EXPECT_EQ(view.percents.size(), 1 + 98); // "0 %" first
    EXPECT_EQ(view.percents.last(), "100 %");
    EXPECT_TRUE(device->LastHeader()->verified);
}

struct RangeCase
{
    const char* name;
    std::vector<AddressRange> ranges;
    QStringList commands;
    int maximum;
};

class RangeRun : public DownloadFixture, public ::testing::WithParamInterface<RangeCase>
{
};

TEST_P(RangeRun, VisitsExactlyTheStepsOfTheRange)
{
    const RangeCase& c = GetParam();
    Connect();

    ASSERT_TRUE(Run(MakeFile(c.ranges)));

    EXPECT_EQ(Commands(), c.commands);
    EXPECT_EQ(view.progressMaximum, c.maximum);
    EXPECT_EQ(view.percents.last(), "100 %");
    EXPECT_EQ(engine->LastResult()->outcome, Outcome::Downloaded);
    EXPECT_TRUE(view.status.startsWith("Firmware downloaded OK! (CRC - "));
    EXPECT_TRUE(FlashHolds(image, c.ranges));
    EXPECT_TRUE(device->Violations().empty());
    // A header, and the verify wait, only when block 1 was erased.
    const bool headerDue = c.commands.last().startsWith("header");
    EXPECT_EQ(view.statuses.contains(kStatusVerifying), headerDue);
    EXPECT_EQ(engine->LastResult()->verified, headerDue);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, RangeRun,
    ::testing::Values(
        RangeCase{"ApplicationOnlyHasNoHeader",
                  {{0x3000, 0x30FF}},
                  {"erase 4", "program 03000", "program 03080"},
                  2},
        RangeCase{"BlankFirstStepErasesBlockOneByEraseBlock",
                  {{0x0100, 0x01FF}, {0x3000, 0x307F}},
                  {"erase 1", "program 00100", "program 00180", "erase 4", "program 03000",
                   "header 0307F"},
                  (0x307F - 0x0100) / 128 + 1},
        RangeCase{"UnalignedStartIsRoundedDown",
                  {{0x3010, 0x3085}},
                  {"erase 4", "program 03000", "program 03080"},
                  2},
        RangeCase{
            "EndOnAStepBoundaryStopsThere", {{0x3000, 0x307F}}, {"erase 4", "program 03000"}, 1},
        RangeCase{"ImageToTheLastAddressEndsInBlockTwelve",
                  {{0x0000, 0x007F}, {0x3FF80, 0x3FFFF}},
                  {"erase-program 1 00000", "erase 4", "erase 5", "erase 6", "erase 7", "erase 8",
                   "erase 9", "erase 10", "erase 11", "erase 12", "program 3FF80", "header 3FFFF"},
                  2048}),
    [](const ::testing::TestParamInfo<RangeCase>& info) { return std::string(info.param.name); });

TEST_F(DownloadFixture, ImageEndingBelowTheApplicationAreaCarriesCrcAndChecksumZero)
{
    Connect();
    ASSERT_TRUE(Run(MakeFile({{0x0000, 0x01FF}})));

    EXPECT_EQ(view.fileState, "File: CRC - 0000h");
    EXPECT_TRUE(
        view.statuses.contains("Downloading firmware (CRC - 0000h) - Programming device..."));
    ASSERT_TRUE(device->LastHeader().has_value());
    EXPECT_EQ(device->LastHeader()->last, 0x01FF);
    EXPECT_EQ(device->LastHeader()->crc, 0);
    EXPECT_EQ(device->LastHeader()->checksum, 0);
    EXPECT_TRUE(device->LastHeader()->verified);
    EXPECT_EQ(view.statuses.last(), "Firmware downloaded OK! (CRC - 0000h)");
}

struct PercentCase
{
    std::vector<AddressRange> ranges;
    QStringList firstPercents;
};

class PercentRun : public DownloadFixture, public ::testing::WithParamInterface<PercentCase>
{
};

TEST_P(PercentRun, ShowsThePercentageAfterEveryStep)
{
    Connect();
    ASSERT_TRUE(Run(MakeFile(GetParam().ranges)));
    EXPECT_EQ(view.percents.first(), "0 %");
    EXPECT_EQ(view.percents.mid(1, GetParam().firstPercents.size()), GetParam().firstPercents);
}

INSTANTIATE_TEST_SUITE_P(
    Percentages, PercentRun,
    ::testing::Values(PercentCase{{{0x3000, 0x317F}}, {"33 %", "67 %", "100 %"}},
                      PercentCase{{{0x3000, 0x33FF}}, {"13 %", "25 %", "38 %"}}));

} // namespace

namespace {

// Several devices are flashed from one load: the image comes in loaded, and only a change of
// the file name makes the engine read a file again.
TEST_F(DownloadFixture, ImageLoadedElsewhereIsDownloadedWithoutReadingAFile)
{
    Connect();
    const FirmwareImage loaded = PatternImage(kSmallApplication);
    engine->UseFirmware(FirmwareOf(loaded, 0x0000, 0x30FF));
    image = loaded;
    EXPECT_EQ(view.fileState, "File: CRC - " + ExpectedCrc(0x30FF) + "h");

    ASSERT_TRUE(Run(dir.filePath("no-such-file.mot")));

    EXPECT_EQ(view.statuses.first(), "Attempting to start BootLoader...");
    EXPECT_EQ(engine->LastResult()->outcome, Outcome::Downloaded);
    EXPECT_TRUE(FlashHolds(loaded, kSmallApplication));

    engine->FileNameChanged();
    EXPECT_EQ(view.fileState, "File: Not Loaded");
    ASSERT_TRUE(Run(dir.filePath("no-such-file.mot")));
    EXPECT_EQ(engine->LastResult()->outcome, Outcome::FileUnusable);
}

} // namespace
