#include "Bootloader.h"

#include "Crc16.h"
#include "SimulatedPort.h"
#include "VirtualHost.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>

// Failures print as their kind, command and address.
void PrintTo(const FailureReason& reason, std::ostream* out)
{
    *out << "kind " << static_cast<int>(reason.kind) << ", command " << int(reason.command)
         << ", address " << reason.address;
}

namespace {

const QByteArray kStart = QByteArrayLiteral("# 017b");
const QByteArray kPoll = QByteArrayLiteral("~# 0155");

class BootloaderTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(port.Open()); }

    // Replies that arrive at the given times after the command is sent (time 0).
    void RepliesAt(std::vector<std::pair<int64_t, QByteArray>> replies)
    {
        for (auto& [ms, bytes] : replies)
            host.Schedule(ms, [this, bytes] { port.Inject(bytes); });
    }

    // Answers the n-th complete poll (1-based) with answer(n), 5 ms after it was written.
    void AnswerPolls(std::function<QByteArray(int)> answer)
    {
        port.SetWriteObserver([this, answer](const QByteArray&) {
            if (!port.Written().endsWith(kPoll))
                return;
            const QByteArray reply = answer(++polls);
            if (!reply.isEmpty())
                host.After(5, [this, reply] { port.Inject(reply); });
        });
    }

    int PollsSent() const { return static_cast<int>(port.Written().count(kPoll)); }

    VirtualHost host;
    SimulatedPort port{host};
    SerialTransport transport{port, host};
    std::atomic<bool> cancel{false};
    Bootloader bootloader{transport, cancel};
    int polls = 0;
};

TEST_F(BootloaderTest, PacketsCarryTheExactBytes)
{
    const std::array<uint8_t, 128> zeros{};
    RepliesAt({});
    (void)bootloader.EraseBlock(1);
    (void)bootloader.EraseBlock(12);
    (void)bootloader.ProgramFlashBlock(zeros.data(), 0x012345);
    (void)bootloader.ProgramAppHeader(0x03FFFF, 0x1234, -6);

    ASSERT_EQ(port.Writes().size(), 4u);
    EXPECT_EQ(port.Writes()[0].bytes, QByteArray::fromHex("7E040200A140"));
    EXPECT_EQ(port.Writes()[1].bytes, QByteArray::fromHex("7E04020B6601"));
    EXPECT_EQ(port.Writes()[2].bytes, QByteArray::fromHex("7E8901000123458000") +
                                          QByteArray(128, '\0') + QByteArray::fromHex("4A91"));
    EXPECT_EQ(port.Writes()[3].bytes, QByteArray::fromHex("7E0F04000030000003FFFF1234FFFA6AB7"));
}

TEST_F(BootloaderTest, EraseProgramNamesTheBlockInByte8)
{
    std::array<uint8_t, 128> data{};
    data.fill(0x7E);
    (void)bootloader.EraseProgramFlashBlock(10, data.data(), 0x10080);
    const QByteArray packet = port.Writes().at(0).bytes;
    ASSERT_EQ(packet.size(), 139);
    EXPECT_EQ(packet.left(9), QByteArray::fromHex("7E890300010080"
                                                  "8009"));
    EXPECT_EQ(packet.mid(9, 128), QByteArray(128, '\x7E'));
    const uint16_t crc = CalculateCrc(reinterpret_cast<const uint8_t*>(packet.constData()), 1, 136);
    EXPECT_EQ(static_cast<uint8_t>(packet[137]), crc >> 8);
    EXPECT_EQ(static_cast<uint8_t>(packet[138]), crc & 0xFF);
}

struct ReplyCase
{
    const char* name;
    std::function<CommandResult(Bootloader&)> command;
    std::vector<std::pair<int64_t, QByteArray>> replies;
    FailureReason expected; // kind None: success
    int64_t endsAtMs;       // when the command returns
};

constexpr FailureReason kSucceeded{};

class BootloaderReplyTest : public BootloaderTest, public ::testing::WithParamInterface<ReplyCase>
{
};

const std::array<uint8_t, 128> kData{};

INSTANTIATE_TEST_SUITE_P(
    Replies, BootloaderReplyTest,
    ::testing::Values(
        ReplyCase{"EraseOk",
                  [](Bootloader& b) { return b.EraseBlock(3); },
                  {{10, QByteArray::fromHex("7E01")}, {60, QByteArray::fromHex("7E02")}},
                  kSucceeded,
                  60},
        ReplyCase{"EraseSecondReply20sLater",
                  [](Bootloader& b) { return b.EraseBlock(3); },
                  {{10, QByteArray::fromHex("7E01")}, {20010, QByteArray::fromHex("7E02")}},
                  {.kind = FailureKind::NoReply,
                   .command = kCommandErase,
                   .block = 3,
                   .reply = 2,
                   .expected = 2,
                   .timeoutMs = 7500},
                  7510},
        ReplyCase{"EraseTwoThenTwoFailsAtTheFirst",
                  [](Bootloader& b) { return b.EraseBlock(3); },
                  {{10, QByteArray::fromHex("7E02")}, {20, QByteArray::fromHex("7E02")}},
                  {.kind = FailureKind::WrongReply,
                   .command = kCommandErase,
                   .block = 3,
                   .reply = 1,
                   .expected = 1,
                   .received = 2},
                  10},
        ReplyCase{"ProgramThreeThenThree",
                  [](Bootloader& b) { return b.ProgramFlashBlock(kData.data(), 0x3000); },
                  {{10, QByteArray::fromHex("7E03")}, {20, QByteArray::fromHex("7E03")}},
                  {.kind = FailureKind::WrongReply,
                   .command = kCommandProgram,
                   .address = 0x3000,
                   .reply = 2,
                   .expected = 4,
                   .received = 3},
                  20},
        ReplyCase{"ProgramOnlyByteOneIsJudged",
                  [](Bootloader& b) { return b.ProgramFlashBlock(kData.data(), 0x3000); },
                  {{10, QByteArray::fromHex("0003")}, {20, QByteArray::fromHex("FF04")}},
                  kSucceeded,
                  20},
        ReplyCase{"EraseProgramAllFour",
                  [](Bootloader& b) { return b.EraseProgramFlashBlock(1, kData.data(), 0); },
                  {{5, QByteArray::fromHex("7E01")},
                   {40, QByteArray::fromHex("7E02")},
                   {41, QByteArray::fromHex("7E03")},
                   {43, QByteArray::fromHex("7E04")}},
                  kSucceeded,
                  43},
        ReplyCase{"EraseProgramMissingFourthTimesOut",
                  [](Bootloader& b) { return b.EraseProgramFlashBlock(1, kData.data(), 0); },
                  {{5, QByteArray::fromHex("7E01")},
                   {40, QByteArray::fromHex("7E02")},
                   {41, QByteArray::fromHex("7E03")}},
                  {.kind = FailureKind::NoReply,
                   .command = kCommandEraseProgram,
                   .address = 0,
                   .block = 1,
                   .reply = 4,
                   .expected = 4,
                   .timeoutMs = 7500},
                  41 + 7500},
        ReplyCase{"HeaderOk",
                  [](Bootloader& b) { return b.ProgramAppHeader(0x3FFF, 0x1234, -6); },
                  {{5, QByteArray::fromHex("7E03")}, {9, QByteArray::fromHex("7E04")}},
                  kSucceeded,
                  9},
        ReplyCase{"HeaderOneByteOnly",
                  [](Bootloader& b) { return b.ProgramAppHeader(0x3FFF, 0x1234, -6); },
                  {{5, QByteArray::fromHex("7E")}},
                  {.kind = FailureKind::NoReply,
                   .command = kCommandHeader,
                   .reply = 1,
                   .expected = 3,
                   .timeoutMs = 7500},
                  5 + 7500},
        // The device's verify report: only byte 1 is judged; 7 is its refusal.
        ReplyCase{"VerifiedWhateverByteZero",
                  [](Bootloader& b) { return b.AwaitVerify(); },
                  {{900, QByteArray::fromHex("0006")}},
                  kSucceeded,
                  900},
        ReplyCase{"VerifyRefused",
                  [](Bootloader& b) { return b.AwaitVerify(); },
                  {{900, QByteArray::fromHex("7E07")}},
                  {.kind = FailureKind::VerifyRefused,
                   .command = kCommandHeader,
                   .reply = 3,
                   .expected = 6,
                   .received = 7},
                  900},
        ReplyCase{"VerifyAnsweredWithAnotherCode",
                  [](Bootloader& b) { return b.AwaitVerify(); },
                  {{900, QByteArray::fromHex("7E05")}},
                  {.kind = FailureKind::WrongReply,
                   .command = kCommandHeader,
                   .reply = 3,
                   .expected = 6,
                   .received = 5},
                  900},
        ReplyCase{"NoVerifyReport",
                  [](Bootloader& b) { return b.AwaitVerify(); },
                  {},
                  {.kind = FailureKind::NoReply,
                   .command = kCommandHeader,
                   .reply = 3,
                   .expected = 6,
                   .timeoutMs = 10000},
                  10000}),
    [](const ::testing::TestParamInfo<ReplyCase>& info) { return info.param.name; });

TEST_P(BootloaderReplyTest, JudgesTheRepliesInOrder)
{
    RepliesAt(GetParam().replies);
    EXPECT_EQ(GetParam().command(bootloader).failure, GetParam().expected);
    EXPECT_EQ(host.NowMs(), GetParam().endsAtMs);
}

TEST_F(BootloaderTest, ReadyOnTheFirstPoll)
{
    AnswerPolls([](int) { return QByteArray::fromHex("7E05"); });
    EXPECT_EQ(bootloader.StartBootloader(), BootloaderStart::Ready);
    EXPECT_EQ(port.Written(), kStart + kPoll);
    EXPECT_EQ(host.NowMs(), 5 + kPollPauseMs); // the pause is taken after the ready reply too
}

TEST_F(BootloaderTest, WrongAnswersToAPollAreIgnoredAndPollingGoesOn)
{
    const std::vector<QByteArray> answers = {QByteArray::fromHex("7E06"),
                                             QByteArray::fromHex("0005"), QByteArray::fromHex("7E"),
                                             QByteArray::fromHex("7E05")};
    AnswerPolls([&](int n) { return answers.at(n - 1); });
    EXPECT_EQ(bootloader.StartBootloader(), BootloaderStart::Ready);
    EXPECT_EQ(PollsSent(), 4);
    // Two wrong answers cost 5 ms + 50 ms each; one byte waits out its 100 ms for the second.
    EXPECT_EQ(host.NowMs(), 2 * 55 + (5 + 100 + 50) + 55);
}

TEST_F(BootloaderTest, AnUnansweredPollCostsAbout150Ms)
{
    AnswerPolls([](int n) { return n == 3 ? QByteArray::fromHex("7E05") : QByteArray(); });
    EXPECT_EQ(bootloader.StartBootloader(), BootloaderStart::Ready);
    EXPECT_EQ(host.NowMs(), 2 * 150 + 55);
}

TEST_F(BootloaderTest, CancelDuringAPollCompletesThatPoll)
{
    for (const bool lastPollAnswered : {false, true}) {
        SCOPED_TRACE(lastPollAnswered);
        cancel = false;
        polls = 0;
        AnswerPolls([&](int n) {
            if (n == 2) {
                host.After(2, [this] { cancel = true; }); // pressed while poll 2 waits
                return lastPollAnswered ? QByteArray::fromHex("7E05") : QByteArray();
            }
            return QByteArray();
        });
        const int sentBefore = PollsSent();
        EXPECT_EQ(bootloader.StartBootloader(),
                  lastPollAnswered ? BootloaderStart::Ready : BootloaderStart::Cancelled);
        EXPECT_EQ(PollsSent() - sentBefore, 2);
    }
}

TEST_F(BootloaderTest, CancelledBeforeStartSendsOnlyTheStartString)
{
    cancel = true;
    EXPECT_EQ(bootloader.StartBootloader(), BootloaderStart::Cancelled);
    EXPECT_EQ(port.Written(), kStart);
}

TEST_F(BootloaderTest, PollingGivesUpAfterTheLimit)
{
    EXPECT_EQ(bootloader.StartBootloader(), BootloaderStart::NoAnswer);
    EXPECT_EQ(PollsSent(), kMaxPolls);
    EXPECT_EQ(host.NowMs(), kMaxPolls * (kPollTimeoutMs + kPollPauseMs)); // 30 s
}

TEST_F(BootloaderTest, PollingStopsWhenTheLineIsLost)
{
    host.Schedule(400, [this] { port.PullCable(); });
    EXPECT_EQ(bootloader.StartBootloader(), BootloaderStart::LineLost);
    EXPECT_LE(PollsSent(), 3);
    EXPECT_LT(host.NowMs(), 500);
}

TEST(CalculateChecksumTest, IsMinusTheByteSum)
{
    const std::array<uint8_t, 4> bytes{0x01, 0x02, 0x03, 0xFF};
    EXPECT_EQ(CalculateChecksum(bytes.data(), 0, 2), -6);
    EXPECT_EQ(CalculateChecksum(bytes.data(), 3, 3), -255); // bytes count unsigned
    EXPECT_EQ(CalculateChecksum(bytes.data(), 2, 1), 0);    // empty range
}

} // namespace
