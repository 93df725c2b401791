// One port's run in virtual time: tries and retries, the wait for a quiet line before a try
// again, the facts of each try's row, port failures with their reasons, a stop, and the order
// of what a run shows.
#include "PortRun.h"

#include "MotFile.h"
#include "SimulatedPort.h"
#include "VirtualDevice.h"
#include "VirtualHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using srecords::AddressRange;
using srecords::PatternImage;

const std::vector<AddressRange> kImage{{0x0000, 0x00FF}, {0x3000, 0x30FF}};

// Records the events as "status: text" and "progress: value/maximum" lines.
class EventLog : public RunEvents
{
public:
    void Status(const QString&, const QString& text) override { lines << "status: " + text; }
    void FileState(const QString&, const QString&) override {}
    void Progress(const QString&, const RunProgress& progress) override
    {
        lines << QStringLiteral("progress: %1/%2").arg(progress.value).arg(progress.maximum);
    }
    void Message(const QString&, const MessageBoxText& box) override
    {
        lines << "message: " + box.prompt;
    }

    QStringList lines;
};

class PortRunTest : public ::testing::Test
{
protected:
    PortRunTest()
    {
        run.port = QStringLiteral("COM1");
        run.firmware = FirmwareOf(PatternImage(kImage), 0x0000, 0x30FF);
        run.host = &host;
        run.events = &events;
        run.stop = &stop;
        // Each try gets a fresh device: the fault plan of try n is faults[n - 1], or none.
        run.makePort = [this]() -> std::unique_ptr<SerialPort> {
            const size_t tryIndex = devices.size();
            devices.push_back(std::make_unique<VirtualDevice>(
                host, DeviceTiming{}, tryIndex < faults.size() ? faults[tryIndex] : FaultPlan{}));
            auto port = std::make_unique<SimulatedPort>(host, devices.back().get());
            const SerialError openFailure =
                tryIndex < openFailures.size() ? openFailures[tryIndex] : SerialError::None;
            if (openFailure != SerialError::None)
                port->FailNextOpen(openFailure, QStringLiteral("system words"));
            return port;
        };
        run.beginTry = [this](const QString& port) {
            begun << port;
            return [this](const TryResult& result) { ended.push_back(result); };
        };
    }

    VirtualHost host;
    EventLog events;
    std::atomic<bool> stop{false};
    std::vector<FaultPlan> faults;
    std::vector<SerialError> openFailures; // of try n at n - 1
    std::vector<std::unique_ptr<VirtualDevice>> devices;
    QStringList begun;
    std::vector<TryResult> ended;
    PortRun run;
};

TEST_F(PortRunTest, DownloadLeavesTheFactsOfItsRow)
{
    const TryResult last = run.Run();

    EXPECT_EQ(last.run.outcome, Outcome::Downloaded);
    EXPECT_TRUE(last.run.verified);
    EXPECT_EQ(last.run.firmware, run.firmware);
    EXPECT_EQ(last.stepsDone, run.firmware->plan.stepCount);
    // The plan counts one answered poll; the device may take a few.
    EXPECT_GE(last.bytes.toDevice, run.firmware->plan.Total().toDevice);
    EXPECT_GE(last.bytes.fromDevice, run.firmware->plan.Total().fromDevice);
    EXPECT_GT(last.elapsedMs, 0);
    EXPECT_TRUE(last.detail.startsWith("verified by the device, CRC "));
    EXPECT_EQ(begun, QStringList{"COM1"});
    ASSERT_EQ(ended.size(), 1u);
}

TEST_F(PortRunTest, ProgressBeginsAfterTheStatusThatOpensProgrammingAndEndsAtTheLastStep)
{
    (void)run.Run();

    const qsizetype generating =
        events.lines.indexOf("status: Downloading firmware - Generating CRC...");
    const qsizetype firstProgress =
        events.lines.indexOf(QStringLiteral("progress: 0/%1").arg(run.firmware->plan.stepCount));
    ASSERT_GE(generating, 0);
    EXPECT_GT(firstProgress, generating);
    EXPECT_TRUE(
        events.lines.contains(QStringLiteral("progress: %1/%1").arg(run.firmware->plan.stepCount)));
}

// A sparse image: every step that sends is reported, and each run of blank steps once, as it
// ends (blocks 5 to 8 are blank but erased, as the header makes the device check them).
TEST_F(PortRunTest, ProgressFollowsTheStepsThatSendAndEachRunOfBlankStepsOnce)
{
    run.firmware = FirmwareOf(PatternImage({{0x0000, 0x00FF}, {0x3000, 0x307F}, {0x8000, 0x807F}}),
                              0x0000, 0x807F);
    (void)run.Run();

    QStringList progress;
    for (const QString& line : events.lines.filter("progress: "))
        progress << line.section(' ', 1).section('/', 0, 0);
    EXPECT_EQ(progress.join(' '), "0 1 2 96 97 128 129 160 161 192 193 224 225 256 257");
}

// The run's own texts never include the empty status that clears the window's status bar.
TEST_F(PortRunTest, NoEmptyStatusWhenTheBootloaderDoesNotStartOrTheRunIsStopped)
{
    for (const int64_t stopAtMs : {int64_t{-1}, int64_t{1000}}) {
        SCOPED_TRACE(stopAtMs);
        events.lines.clear();
        devices.clear();
        faults = {*ParseFaultPlan("no-polls", nullptr)};
        if (stopAtMs >= 0)
            host.After(stopAtMs, [this] { stop = true; });
        (void)run.Run();
        EXPECT_FALSE(events.lines.isEmpty());
        EXPECT_FALSE(events.lines.contains("status: "));
    }
}

TEST_F(PortRunTest, TriesAgainAfterAFailureOnTheLineAndRecordsEveryTry)
{
    faults = {*ParseFaultPlan("late:2:1", nullptr), *ParseFaultPlan("close-after:3", nullptr)};
    run.retries = 2;

    const TryResult last = run.Run();

    ASSERT_EQ(ended.size(), 3u);
    EXPECT_EQ(ReasonWord(ended[0].run.reason.kind), "no-reply");
    EXPECT_EQ(ReasonWord(ended[1].run.reason.kind), "line-lost");
    EXPECT_EQ(OutcomeWord(ended[1].run.outcome), "failed");
    EXPECT_EQ(last.run.outcome, Outcome::Downloaded);
    EXPECT_EQ(last.tryNumber, 3);
    EXPECT_EQ(begun.size(), 3);
    EXPECT_TRUE(events.lines.contains("status: Trying again from the beginning (try 3 of 3)"));
}

// One device through both tries, as on a real line: a try that failed may leave it busy with
// its command or still sending a reply. The try again starts the bootloader only once the
// device has done, so no byte of the start string reaches it while a command is under way.
TEST_F(PortRunTest, TryAgainWaitsUntilTheDeviceHasDoneWithTheTryBefore)
{
    struct Case
    {
        const char* faults;
        bool paced;
    };
    const Case cases[] = {
        {"late:2:1", false},     // the reply comes after the host has given up
        {"change:1:1:9", false}, // the device goes on erasing and programming
        {"garbage:2:2", true},   // noise still on the wire when the host judges it
    };
    run.retries = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults);
        ended.clear();
        DeviceTiming timing;
        timing.pace = c.paced;
        VirtualDevice device(host, timing, *ParseFaultPlan(c.faults, nullptr));
        run.makePort = [this, &device]() -> std::unique_ptr<SerialPort> {
            return std::make_unique<SimulatedPort>(host, &device);
        };

        const TryResult last = run.Run();

        EXPECT_EQ(ended.size(), 2u);
        EXPECT_EQ(last.run.outcome, Outcome::Downloaded);
        for (const TraceFrame& frame : device.Trace())
            EXPECT_NE(frame.kind, "string during command") << frame.timeMicros << " us";
    }
}

// The cable is pulled and the adapter is gone when the run tries again: the device was left
// half-programmed, and that is what the run ends with.
TEST_F(PortRunTest, RetryThatCannotOpenThePortLeavesTheFailureBeforeIt)
{
    faults = {*ParseFaultPlan("close-after:3", nullptr)};
    openFailures = {SerialError::None, SerialError::NoSuchDevice};
    run.retries = 2;

    const TryResult last = run.Run();

    EXPECT_EQ(ReasonWord(last.run.reason.kind), "line-lost");
    EXPECT_EQ(OutcomeExitCode(last.run.outcome), 1);
    ASSERT_EQ(ended.size(), 2u);
    EXPECT_EQ(ReasonWord(ended[1].run.reason.kind), "no-device");
}

TEST_F(PortRunTest, RefusedImageAndStopEndTheRunAtOnce)
{
    faults = {*ParseFaultPlan("fail-verify", nullptr)};
    run.retries = 3;
    EXPECT_EQ(ReasonWord(run.Run().run.reason.kind), "verify-refused");
    EXPECT_EQ(ended.size(), 1u);

    ended.clear();
    faults.clear();
    devices.clear();
    stop = true;
    const TryResult stopped = run.Run();
    EXPECT_EQ(stopped.run.outcome, Outcome::Cancelled);
    EXPECT_TRUE(devices.back()->Trace().empty());
    EXPECT_EQ(ended.size(), 1u);
}

// The station's second link to a device that its run through the first link holds.
TEST_F(PortRunTest, ADeviceHeldThroughAnotherLinkIsLeftAloneAndTheRunNamesThatLink)
{
    run.heldThrough = QStringLiteral("/dev/serial/by-id/first");
    run.retries = 2;

    const TryResult last = run.Run();

    EXPECT_EQ(ReasonWord(last.run.reason.kind), "port-busy");
    EXPECT_EQ(last.detail, "The device is already being downloaded by this station through "
                           "/dev/serial/by-id/first.");
    EXPECT_EQ(ended.size(), 1u);
    EXPECT_TRUE(devices.back()->Trace().empty());
}

TEST_F(PortRunTest, PortThatCannotBeOpenedEndsWithItsReasonAndIsNotRetried)
{
    struct Case
    {
        SerialError error;
        const char* reason;
        bool joinDialout = false; // whether the detail says to join 'dialout'
    };
    const Case cases[] = {
        {SerialError::NoSuchDevice, "no-device"},
        {SerialError::PermissionDenied, "permission-denied"},
        {SerialError::NotInDialoutGroup, "permission-denied", true},
        {SerialError::Busy, "port-busy"},
        {SerialError::NotASerialPort, "not-a-serial-port"},
        {SerialError::Other, "port-unusable"},
    };
    run.retries = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        ended.clear();
        devices.clear();
        openFailures = {c.error};
        const TryResult last = run.Run();
        EXPECT_EQ(OutcomeWord(last.run.outcome), "port-unavailable");
        EXPECT_EQ(OutcomeExitCode(last.run.outcome), 4);
        EXPECT_EQ(ReasonWord(last.run.reason.kind), c.reason);
        EXPECT_FALSE(last.detail.isEmpty());
        EXPECT_EQ(last.detail.contains(QLatin1String("dialout")), c.joinDialout);
        EXPECT_EQ(ended.size(), 1u);
    }
}

} // namespace
