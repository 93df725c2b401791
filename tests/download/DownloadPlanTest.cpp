// The download plan against what the engine really sends: random images go through the plan
// and through a whole run on the virtual device, and the device must have seen exactly the
// planned commands, in order.
#include "DownloadPlan.h"
#include "DownloadFixture.h"
#include "Protocol.h"

#include <random>

namespace {

QString Hex5(int32_t value)
{
    return QStringLiteral("%1").arg(value, 5, 16, QLatin1Char('0')).toUpper();
}

// The plan in the words of DownloadFixture::Commands().
QStringList Described(const DownloadPlan& plan)
{
    QStringList commands;
    for (const PlannedCommand& command : plan.commands) {
        switch (command.kind) {
        case PlannedCommand::Kind::Erase:
            commands << QStringLiteral("erase %1").arg(command.block);
            break;
        case PlannedCommand::Kind::Program:
            commands << "program " + Hex5(command.address);
            break;
        case PlannedCommand::Kind::EraseProgram:
            commands << QStringLiteral("erase-program %1 ").arg(command.block) +
                            Hex5(command.address);
            break;
        }
    }
    if (plan.header)
        commands << "header " + Hex5(plan.endAddress);
    return commands;
}

// Data from start to end with runs of blank steps and now and then a whole blank block.
FirmwareImage RandomImage(std::mt19937& random, int32_t start, int32_t end)
{
    FirmwareImage image;
    image.fill(0xFF);
    std::uniform_int_distribution<int> byte(0, 0xFE);
    for (int32_t address = start; address <= end; ++address)
        image[static_cast<size_t>(address)] = static_cast<uint8_t>(byte(random));
    std::uniform_int_distribution<int> blankSteps(0, 40);
    for (int32_t step = start - start % kStepSize; step <= end; step += kStepSize) {
        if (blankSteps(random) == 0) {
            const int32_t runEnd = std::min(end, step + kStepSize * blankSteps(random));
            std::fill(image.begin() + step, image.begin() + runEnd + 1, 0xFF);
        }
    }
    return image;
}

TEST_F(DownloadFixture, TheDeviceSeesExactlyThePlannedCommands)
{
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int32_t> anywhere(0, kLastImageAddress);
    std::uniform_int_distribution<int32_t> lowStart(0, 0x1FFF);
    std::uniform_int_distribution<int32_t> span(0, 0x12000);
    for (int round = 0; round < 24; ++round) {
        const int32_t start = round % 2 == 0 ? lowStart(random) : anywhere(random);
        const int32_t end = std::min(kLastImageAddress, start + span(random));
        image = RandomImage(random, start, end);
        const DownloadPlan plan = PlanDownload(image, start, end);

        Connect();
        engine->FileNameChanged();
        engine->UseFirmware(FirmwareOf(image, start, end));
        ASSERT_TRUE(Run(QString()));

        SCOPED_TRACE(
            QStringLiteral("round %1: %2 to %3").arg(round).arg(start).arg(end).toStdString());
        EXPECT_EQ(Commands(), Described(plan));
        EXPECT_EQ(engine->LastResult()->outcome, Outcome::Downloaded);
        EXPECT_EQ(engine->LastResult()->verified, plan.header);
        EXPECT_EQ(view.progressMaximum, plan.stepCount);
        EXPECT_TRUE(FlashHolds(image, {{plan.firstStep, end}}));
        EXPECT_TRUE(device->Violations().empty());
    }
}

// A device that held firmware before: every cell that is not erased holds old bytes.
struct UpgradeCase
{
    const char* name;
    std::vector<AddressRange> ranges;
    QStringList commands;
};

class UpgradeRun : public DownloadFixture, public ::testing::WithParamInterface<UpgradeCase>
{
};

TEST_P(UpgradeRun, OldFirmwareIsErasedWhereTheDeviceChecksIt)
{
    Connect();
    device->FlashMemory().Bytes().fill(0x5A);

    ASSERT_TRUE(Run(MakeFile(GetParam().ranges)));

    EXPECT_EQ(Commands(), GetParam().commands);
    EXPECT_EQ(engine->LastResult()->outcome, Outcome::Downloaded);
    EXPECT_TRUE(device->Violations().empty());
    if (device->LastHeader()) {
        EXPECT_TRUE(device->LastHeader()->verified);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Upgrades, UpgradeRun,
    ::testing::Values(
        // Blocks 4 and 5 hold nothing but lie between 0x3000 and the end: erased on the way.
        UpgradeCase{"BlankBlocksInTheCheckedArea",
                    {{0x0000, 0x00FF}, {0x5000, 0x50FF}},
                    {"erase-program 1 00000", "program 00080", "erase 4", "erase 5", "erase 6",
                     "program 05000", "program 05080", "header 050FF"}},
        // Blank steps inside a block that is programmed anyway: nothing more is sent.
        UpgradeCase{
            "BlankStepsInAProgrammedBlock",
            {{0x0000, 0x007F}, {0x3000, 0x307F}, {0x3F80, 0x3FFF}},
            {"erase-program 1 00000", "erase 4", "program 03000", "program 03F80", "header 03FFF"}},
        // Without a header the device checks nothing: blank blocks stay as they are.
        UpgradeCase{"NoHeaderNoExtraErase",
                    {{0x3000, 0x30FF}, {0x6000, 0x607F}},
                    {"erase 4", "program 03000", "program 03080", "erase 7", "program 06000"}}),
    [](const ::testing::TestParamInfo<UpgradeCase>& info) { return std::string(info.param.name); });

} // namespace
