// The virtual device driven by the real protocol code (SerialTransport, Bootloader) over the
// simulated port, in virtual time.
#include "VirtualDevice.h"

#include "Bootloader.h"
#include "Crc16.h"
#include "SimulatedPort.h"
#include "VirtualHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>

namespace {

std::array<uint8_t, 128> Pattern(uint8_t seed)
{
    std::array<uint8_t, 128> data{};
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(seed + i * 7);
    return data;
}

// The device, the port to it and the host's protocol code, on one virtual clock.
struct Rig
{
    explicit Rig(const QString& faults = {}, DeviceTiming timing = {})
        : device(host, timing, *ParseFaultPlan(faults, nullptr)), port(host, &device)
    {
        port.Open();
    }

    // The device's verify report after a header: true with the code when it came.
    std::optional<uint8_t> VerifyReport()
    {
        std::array<uint8_t, 2> reply{};
        if (!transport.SerialGetResponseBytes(kVerifyTimeoutMs, 2, reply.data()))
            return std::nullopt;
        return reply[1];
    }

    // Programs one step at 0x3000 and sends the header that matches the flash.
    int16_t ProgramAndSendHeader(uint16_t crcOffset = 0)
    {
        const auto data = Pattern(1);
        if (!bootloader.EraseProgramFlashBlock(4, data.data(), 0x3000).Succeeded())
            return 1;
        const int32_t last = 0x307F;
        const uint16_t crc = CalculateCrc(device.Flash().data(), 0x3000, last);
        const int32_t checksum = CalculateChecksum(device.Flash().data(), 0x3000, last);
        return bootloader.ProgramAppHeader(last, static_cast<int16_t>(crc + crcOffset), checksum)
                       .Succeeded()
                   ? 0
                   : 1;
    }

    VirtualHost host;
    VirtualDevice device;
    SimulatedPort port;
    SerialTransport transport{port, host};
    std::atomic<bool> cancel{false};
    Bootloader bootloader{transport, cancel};
};

TEST(VirtualDeviceTest, RunsTheWholeCommandSetToAVerifiedImage)
{
    Rig rig;
    ASSERT_EQ(rig.bootloader.StartBootloader(), BootloaderStart::Ready);
    const auto first = Pattern(3);
    const auto second = Pattern(9);
    EXPECT_TRUE(rig.bootloader.EraseBlock(4).Succeeded());
    EXPECT_TRUE(rig.bootloader.ProgramFlashBlock(first.data(), 0x3000).Succeeded());
    EXPECT_TRUE(rig.bootloader.EraseProgramFlashBlock(10, second.data(), 0x1FF80).Succeeded());

    FirmwareImage expected;
    expected.fill(0xFF);
    std::copy(first.begin(), first.end(), expected.begin() + 0x3000);
    std::copy(second.begin(), second.end(), expected.begin() + 0x1FF80);
    EXPECT_EQ(rig.device.Flash(), expected);

    const int32_t last = 0x1FFFF;
    const uint16_t crc = CalculateCrc(expected.data(), 0x3000, last);
    const int32_t checksum = CalculateChecksum(expected.data(), 0x3000, last);
    EXPECT_TRUE(
        rig.bootloader.ProgramAppHeader(last, static_cast<int16_t>(crc), checksum).Succeeded());
    EXPECT_EQ(rig.VerifyReport(), std::optional<uint8_t>(6));

    ASSERT_TRUE(rig.device.LastHeader().has_value());
    EXPECT_TRUE(rig.device.LastHeader()->verified);
    EXPECT_EQ(rig.device.Mode(), DeviceMode::Application);
    EXPECT_TRUE(rig.device.Violations().empty());
    EXPECT_TRUE(rig.device.Rejected().empty());

    std::vector<uint8_t> commands;
    for (const TraceFrame& frame : rig.device.Trace()) {
        if (frame.direction == TraceFrame::Direction::In && frame.kind == QLatin1String("packet"))
            commands.push_back(frame.command);
    }
    EXPECT_EQ(commands, (std::vector<uint8_t>{2, 1, 3, 4}));
    EXPECT_EQ(rig.device.Trace().front().kind, QStringLiteral("string"));
}

TEST(VirtualDeviceTest, TheApplicationIgnoresPollsUntilItHandsOver)
{
    Rig rig;
    rig.transport.SerialSendString(QStringLiteral("~# 0155"), false);
    std::array<uint8_t, 2> reply{};
    EXPECT_FALSE(rig.transport.SerialGetResponseBytes(1000, 2, reply.data()));

    // The hand-over takes 200 ms: the first two polls go unanswered.
    EXPECT_EQ(rig.bootloader.StartBootloader(), BootloaderStart::Ready);
    EXPECT_EQ(rig.device.PollsAnswered(), 1);
    EXPECT_EQ(rig.port.Written().count("~# 0155"), 1 + 3);
}

TEST(VirtualDeviceTest, ProgrammingWithoutEraseIsRecordedAsAViolation)
{
    Rig rig;
    ASSERT_EQ(rig.bootloader.StartBootloader(), BootloaderStart::Ready);
    const auto zeros = std::array<uint8_t, 128>{};
    const auto ones = Pattern(0xF0);
    EXPECT_TRUE(rig.bootloader.ProgramFlashBlock(zeros.data(), 0x5000).Succeeded());
    EXPECT_TRUE(rig.bootloader.ProgramFlashBlock(ones.data(), 0x5000).Succeeded());
    EXPECT_FALSE(rig.device.Violations().empty());
    EXPECT_EQ(rig.device.Violations().front().address, 0x5000);
}

TEST(VirtualDeviceTest, UnsoundPacketsAreRecordedAndNotAnswered)
{
    Rig rig;
    ASSERT_EQ(rig.bootloader.StartBootloader(), BootloaderStart::Ready);
    struct Case
    {
        QByteArray bytes;
        RejectReason reason;
    };
    const std::vector<Case> cases = {
        {QByteArray::fromHex("7E040200A141"), RejectReason::BadCrc},
        {QByteArray::fromHex("7E02"), RejectReason::BadLength},
        {QByteArray::fromHex("7E0409009147"), RejectReason::UnknownCommand},
        {QByteArray::fromHex("7E04020CA440"), RejectReason::BadParameter}, // block 13
        {QByteArray::fromHex("7E8901"), RejectReason::Incomplete},
    };
    for (const Case& c : cases) {
        rig.port.DiscardInput();
        rig.port.Output(reinterpret_cast<const uint8_t*>(c.bytes.constData()),
                        static_cast<int>(c.bytes.size()));
        rig.host.RunFor(500);
        EXPECT_EQ(rig.port.InBufferCount(), 0) << c.bytes.toHex().toStdString();
        ASSERT_FALSE(rig.device.Rejected().empty());
        EXPECT_EQ(rig.device.Rejected().back().reason, c.reason) << c.bytes.toHex().toStdString();
    }
    EXPECT_EQ(rig.device.Rejected().size(), cases.size());
    EXPECT_TRUE(rig.bootloader.EraseBlock(1).Succeeded()); // still listening
}

TEST(VirtualDeviceTest, AHeaderThatDoesNotMatchTheFlashIsReported7)
{
    Rig rig;
    ASSERT_EQ(rig.bootloader.StartBootloader(), BootloaderStart::Ready);
    EXPECT_EQ(rig.ProgramAndSendHeader(1), 0);
    EXPECT_EQ(rig.VerifyReport(), std::optional<uint8_t>(7));
    EXPECT_EQ(rig.device.Mode(), DeviceMode::Bootloader);
}

TEST(VirtualDeviceTest, AVerifiedApplicationCanBeTalkedIntoTheBootloaderAgain)
{
    Rig rig;
    ASSERT_EQ(rig.bootloader.StartBootloader(), BootloaderStart::Ready);
    ASSERT_EQ(rig.ProgramAndSendHeader(), 0);
    ASSERT_EQ(rig.VerifyReport(), std::optional<uint8_t>(6));
    EXPECT_EQ(rig.bootloader.StartBootloader(), BootloaderStart::Ready);
    EXPECT_TRUE(rig.bootloader.EraseBlock(4).Succeeded());
}

// A start string of which a byte reaches the bootloader while a command is still under way
// (running, or its reply still on the wire) is traced: the host began anew too early.
TEST(VirtualDeviceTest, AStartStringDuringACommandIsTraced)
{
    struct Case
    {
        const char* faults;
        bool paced;
        bool traced;
    };
    const Case cases[] = {
        {"", false, false},          // the erase has ended
        {"late:1:1", false, true},   // still erasing after the host gave up
        {"garbage:1:2", true, true}, // noise still on the wire
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults);
        DeviceTiming timing;
        timing.pace = c.paced;
        Rig rig(c.faults, timing);
        ASSERT_EQ(rig.bootloader.StartBootloader(), BootloaderStart::Ready);
        (void)rig.bootloader.EraseBlock(5);
        rig.transport.SerialSendString(QLatin1String(kStartBootloaderString), false);
        rig.host.RunFor(20000);
        const auto traced = std::count_if(
            rig.device.Trace().begin(), rig.device.Trace().end(),
            [](const TraceFrame& frame) { return frame.kind == "string during command"; });
        EXPECT_EQ(traced, c.traced ? 1 : 0);
    }
}

TEST(VirtualDeviceTest, WirePacingMakesBytesTakeTheirTime)
{
    int64_t eraseMicros[2] = {};
    for (const bool pace : {false, true}) {
        DeviceTiming timing;
        timing.pace = pace;
        Rig rig({}, timing);
        ASSERT_EQ(rig.bootloader.StartBootloader(), BootloaderStart::Ready);
        const int64_t start = rig.host.NowMicros();
        ASSERT_TRUE(rig.bootloader.EraseBlock(1).Succeeded());
        eraseMicros[pace] = rig.host.NowMicros() - start;
    }
    // 6 bytes out and the last reply's 2 bytes back at 0.521 ms each (the first reply
    // travels while the block is erased).
    EXPECT_EQ(eraseMicros[1] - eraseMicros[0], 8 * DeviceTiming::kByteMicros);
}

// One fault, the exchange it hits, and what the host must make of it.
struct FaultCase
{
    const char* name;
    const char* faults;
    std::function<int(Rig&)> exchange;
    int expected;
    int64_t atMostMs; // virtual time the exchange may take, from its start
};

class VirtualDeviceFaultTest : public ::testing::TestWithParam<FaultCase>
{
};

int Erase(Rig& rig)
{
    return rig.bootloader.EraseBlock(5).Succeeded() ? 0 : 1;
}

int EraseProgram(Rig& rig)
{
    const auto data = Pattern(5);
    return rig.bootloader.EraseProgramFlashBlock(5, data.data(), 0x4000).Succeeded() ? 0 : 1;
}

// The verify report's code, or -1 when none came.
int Verify(Rig& rig)
{
    if (rig.ProgramAndSendHeader() != 0)
        return -2;
    const std::optional<uint8_t> report = rig.VerifyReport();
    return report ? *report : -1;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, VirtualDeviceFaultTest,
    ::testing::Values(FaultCase{"NoFault", "", Erase, 0, 100},
                      FaultCase{"FirstReplyDropped", "drop:1:1", Erase, 1, 7600},
                      FaultCase{"SecondReplyDropped", "drop:1:2", Erase, 1, 7600},
                      FaultCase{"ReplyChanged", "change:1:2:9", Erase, 1, 100},
                      FaultCase{"OneByteOfAReply", "one-byte:1:1", Erase, 1, 7600},
                      FaultCase{"ReplyTooLate", "late:1:1", Erase, 1, 7600},
                      FaultCase{"ReplyLateButInTime", "late:1:1:5000", Erase, 0, 5100},
                      FaultCase{"GarbageForAReply", "garbage:1:1", Erase, 1, 100},
                      FaultCase{"ThirdOfFourDropped", "drop:1:3", EraseProgram, 1, 7600},
                      FaultCase{"LineClosedAtTheFirstCommand", "close-after:0", Erase, 1, 1},
                      FaultCase{"LineClosedAtTheSecondCommand", "close-after:1", Verify, -2, 100},
                      FaultCase{"VerifyFails", "fail-verify", Verify, 7, 200},
                      FaultCase{"VerifyReportDropped", "drop:2:3", Verify, -1, 10200},
                      FaultCase{"VerifyReportTooLate", "late:2:3", Verify, -1, 10200}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

TEST_P(VirtualDeviceFaultTest, TheHostSeesTheFault)
{
    Rig rig(QString::fromLatin1(GetParam().faults));
    ASSERT_EQ(rig.bootloader.StartBootloader(), BootloaderStart::Ready);
    const int64_t start = rig.host.NowMs();
    EXPECT_EQ(GetParam().exchange(rig), GetParam().expected);
    EXPECT_LE(rig.host.NowMs() - start, GetParam().atMostMs);
}

TEST(VirtualDeviceTest, PollFaultsKeepTheBootloaderFromStarting)
{
    for (const char* faults : {"no-polls", "garbage-polls"}) {
        Rig rig{QString::fromLatin1(faults)};
        EXPECT_EQ(rig.bootloader.StartBootloader(), BootloaderStart::NoAnswer) << faults;
        EXPECT_EQ(rig.port.Written().count("~# 0155"), kMaxPolls) << faults;
        EXPECT_LE(rig.host.NowMs(), 30000) << faults;
    }
}

TEST(VirtualDeviceTest, AClosedLineLooksLikeAPulledCable)
{
    Rig rig{QStringLiteral("close-after:0")};
    ASSERT_EQ(rig.bootloader.StartBootloader(), BootloaderStart::Ready);
    EXPECT_EQ(rig.bootloader.EraseBlock(1).failure.kind, FailureKind::LineLost);
    EXPECT_EQ(rig.port.Error(), SerialError::LineLost);
    EXPECT_FALSE(rig.port.IsOpen());
    EXPECT_FALSE(rig.port.Open());
    EXPECT_EQ(rig.device.Mode(), DeviceMode::LineClosed);
    EXPECT_EQ(rig.device.CommandsReceived(), 1);
}

} // namespace
