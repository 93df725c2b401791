// How the line behaved, as a try carries it: the reply waits per kind of command and the
// packet phase against the wire, on the virtual device with and without a late adapter.
#include "LinkQuality.h"
#include "MotFile.h"
#include "PortRun.h"
#include "SimulatedPort.h"
#include "VirtualDevice.h"
#include "VirtualHost.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace {

// One whole erase block of program packets, so that the packet phase is mostly programming.
const std::vector<AddressRange> kImage{{0x0000, 0x0FFF}};

class NoEvents : public RunEvents
{
public:
    void Status(const QString&, const QString&) override {}
    void FileState(const QString&, const QString&) override {}
    void Progress(const QString&, const RunProgress&) override {}
    void Message(const QString&, const MessageBoxText&) override {}
};

TryResult DownloadThrough(const DeviceTiming& timing, int32_t startTick)
{
    VirtualHost host(startTick);
    NoEvents events;
    std::atomic<bool> stop{false};
    std::unique_ptr<VirtualDevice> device;
    PortRun run;
    run.port = QStringLiteral("COM1");
    run.firmware = FirmwareOf(PatternImage(kImage), 0x0000, 0x0FFF);
    run.host = &host;
    run.events = &events;
    run.stop = &stop;
    run.makePort = [&]() -> std::unique_ptr<SerialPort> {
        device = std::make_unique<VirtualDevice>(host, timing);
        return std::make_unique<SimulatedPort>(host, device.get());
    };
    return run.Run();
}

struct LineCase
{
    const char* name;
    bool pace;
    int latencyMs;
    int programMedianLow, programMedianHigh;
    double ratioLow, ratioHigh;
    bool late;
    int32_t startTick = 0;
};

class LinkQualityTest : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(LinkQualityTest, WaitsAndPacketPhaseShowTheLine)
{
    const LineCase& line = GetParam();
    DeviceTiming timing;
    timing.pace = line.pace;
    timing.adapterLatencyMicros = int64_t{line.latencyMs} * 1000;
    const TryResult result = DownloadThrough(timing, line.startTick);
    ASSERT_EQ(result.run.outcome, Outcome::Downloaded);

    const LinkQuality& link = result.link;
    const ReplyWaits& program = link.Of(ReplyKind::Program);
    EXPECT_EQ(program.count, 2 * 31); // accepted and programmed, for every packet but the first
    EXPECT_EQ(link.Of(ReplyKind::EraseProgram).count, 4);
    EXPECT_EQ(link.Of(ReplyKind::Header).count, 2);
    EXPECT_EQ(link.Of(ReplyKind::Verify).count, 1);
    EXPECT_GE(link.Of(ReplyKind::Poll).count, 1);
    EXPECT_EQ(link.Of(ReplyKind::Erase).count, 0);
    EXPECT_GE(program.medianMs, line.programMedianLow);
    EXPECT_LE(program.medianMs, line.programMedianHigh);
    EXPECT_LE(program.maxMs, line.programMedianHigh + 1);
    EXPECT_GE(link.packetPhaseRatio, line.ratioLow);
    EXPECT_LE(link.packetPhaseRatio, line.ratioHigh);
    EXPECT_EQ(RepliesLate(link), line.late);
    EXPECT_EQ(LateRepliesNote(link).isEmpty(), !line.late) << LateRepliesNote(link).toStdString();
}

// Unpaced, the virtual line is faster than the wire: every wait is 0 and the phase takes a
// small part of its wire time. Paced, the waits are the device's own work (about 1 ms); an
// adapter's 16 ms latency timer adds its time to every reply.
INSTANTIATE_TEST_SUITE_P(Lines, LinkQualityTest,
                         ::testing::Values(LineCase{"unpaced", false, 0, 0, 0, 0.0, 0.2, false},
                                           LineCase{"paced", true, 0, 0, 2, 1.0, 1.1, false},
                                           LineCase{"pacedLate", true, 16, 16, 18, 1.2, 1.35, true},
                                           // The tick count wraps in the packet phase.
                                           LineCase{"pacedAcrossTickWrap", true, 0, 0, 2, 1.0, 1.1,
                                                    false, INT32_MAX - 1500}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LateRepliesNoteTest, NamesTheProgramMedianAboveTheBound)
{
    LinkQuality link;
    EXPECT_EQ(LateRepliesNote(link), QString()); // no program reply: nothing to tell
    link.Of(ReplyKind::Program) = {10, kLateReplyMs, 30};
    EXPECT_EQ(LateRepliesNote(link), QString());
    link.Of(ReplyKind::Program).medianMs = 17;
    EXPECT_EQ(LateRepliesNote(link), QStringLiteral("replies 17 ms late"));
}

} // namespace
