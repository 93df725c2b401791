#include "SerialTransport.h"

#include "Crc16.h"
#include "SimulatedPort.h"
#include "VirtualHost.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <array>

namespace {

class SerialTransportTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(port.Open()); }

    // Bytes that reach the host's end of the line at the given virtual time.
    void ArriveAt(int64_t ms, const QByteArray& bytes)
    {
        host.Schedule(ms, [this, bytes] { port.Inject(bytes); });
    }

    VirtualHost host;
    SimulatedPort port{host};
    SerialTransport transport{port, host};
};

TEST_F(SerialTransportTest, SendPacketFillsCrcHighByteFirstAndSendsOneWrite)
{
    struct Case
    {
        std::vector<uint8_t> packet;
        uint8_t crcHigh;
        uint8_t crcLow;
    };
    const std::vector<Case> cases = {
        {{0x7E, 0x04, 0x02, 0x00, 0x55, 0x55}, 0xA1, 0x40}, // erase block 1
        {{0x7E, 0x04, 0x02, 0x0B, 0x00, 0x00}, 0x66, 0x01}, // erase block 12
    };
    for (Case c : cases) {
        const auto writesBefore = port.Writes().size();
        transport.SerialSendPacket(c.packet.data(), static_cast<int32_t>(c.packet.size()));
        EXPECT_EQ(c.packet[4], c.crcHigh);
        EXPECT_EQ(c.packet[5], c.crcLow);
        ASSERT_EQ(port.Writes().size(), writesBefore + 1);
        EXPECT_EQ(port.Writes().back().bytes,
                  QByteArray(reinterpret_cast<const char*>(c.packet.data()), 6));
    }
}

TEST_F(SerialTransportTest, DataByte7EIsSentUnchangedAndCoveredByTheCrc)
{
    std::array<uint8_t, 6> packet{0x7E, 0x04, 0x02, 0x7E, 0, 0};
    transport.SerialSendPacket(packet.data(), 6);
    const uint16_t crc = CalculateCrc(packet.data(), 1, 3);
    EXPECT_EQ(port.Written(),
              QByteArray::fromHex("7E04027E") +
                  QByteArray::fromHex(QByteArray::number(crc, 16).rightJustified(4, '0')));
}

TEST_F(SerialTransportTest, SendStringWritesOneCharacterPerWriteAndAppendsNothing)
{
    transport.SerialSendString(QStringLiteral("# 017b"), false);
    ASSERT_EQ(port.Writes().size(), 6u);
    for (const auto& write : port.Writes())
        EXPECT_EQ(write.bytes.size(), 1);
    EXPECT_EQ(port.Written(), QByteArray::fromHex("232030313762"));
}

TEST_F(SerialTransportTest, StatusShownOnlyWhenAsked)
{
    QStringList shown;
    SerialTransport showing(port, host, [&](const QString& text) { shown << text; });
    showing.SerialSendString(QStringLiteral("~# 0155"), false);
    showing.SerialSendString(QStringLiteral("# 017b"), true);
    EXPECT_EQ(shown, QStringList{QStringLiteral("Tx string: # 017b")});
}

TEST_F(SerialTransportTest, EverySendDiscardsStaleInput)
{
    port.Inject(QByteArray::fromHex("7E04"));
    transport.SerialSendString(QString(), false); // nothing sent, input still discarded
    EXPECT_TRUE(port.Writes().empty());
    EXPECT_EQ(port.InBufferCount(), 0);

    port.Inject(QByteArray::fromHex("7E03")); // a late reply to an earlier request
    std::array<uint8_t, 6> packet{0x7E, 0x04, 0x02, 0x00, 0, 0};
    transport.SerialSendPacket(packet.data(), 6);
    ArriveAt(10, QByteArray::fromHex("7E01"));
    std::array<uint8_t, 2> reply{};
    ASSERT_TRUE(transport.SerialGetResponseBytes(7500, 2, reply.data()));
    EXPECT_EQ(reply[1], 0x01);
}

TEST_F(SerialTransportTest, TwoBytesArrivingTogetherAreBothRead)
{
    ArriveAt(3, QByteArray::fromHex("7E05"));
    std::array<uint8_t, 2> reply{};
    EXPECT_TRUE(transport.SerialGetResponseBytes(100, 2, reply.data()));
    EXPECT_EQ(reply, (std::array<uint8_t, 2>{0x7E, 0x05}));
    EXPECT_EQ(host.NowMs(), 3);
}

TEST_F(SerialTransportTest, TimeOutRunsPerByteNotPerReply)
{
    // 5 s to the first byte and 7 s more to the second: 12 s in all under a 7.5 s time-out.
    ArriveAt(5000, QByteArray::fromHex("7E"));
    ArriveAt(12000, QByteArray::fromHex("02"));
    std::array<uint8_t, 2> reply{};
    EXPECT_TRUE(transport.SerialGetResponseBytes(7500, 2, reply.data()));
    EXPECT_EQ(reply, (std::array<uint8_t, 2>{0x7E, 0x02}));
}

TEST_F(SerialTransportTest, SilenceEndsTheWaitAfterTheTimeOutAndLeavesTheBufferAlone)
{
    std::array<uint8_t, 2> reply{0xAA, 0xBB};
    EXPECT_FALSE(transport.SerialGetResponseBytes(100, 2, reply.data()));
    EXPECT_EQ(host.NowMs(), 100);
    EXPECT_EQ(reply, (std::array<uint8_t, 2>{0xAA, 0xBB}));
}

TEST_F(SerialTransportTest, OneByteThenSilenceKeepsThatByte)
{
    ArriveAt(20, QByteArray::fromHex("7E"));
    std::array<uint8_t, 2> reply{0xAA, 0xBB};
    EXPECT_FALSE(transport.SerialGetResponseBytes(100, 2, reply.data()));
    EXPECT_EQ(reply, (std::array<uint8_t, 2>{0x7E, 0xBB}));
    EXPECT_EQ(host.NowMs(), 120);
}

TEST_F(SerialTransportTest, AReplyAfterTheTimeOutIsNotTakenAndNotSeenAfterTheNextSend)
{
    ArriveAt(8000, QByteArray::fromHex("7E01"));
    std::array<uint8_t, 2> reply{};
    EXPECT_FALSE(transport.SerialGetResponseBytes(7500, 2, reply.data()));
    host.RunFor(1000);
    EXPECT_EQ(port.InBufferCount(), 2);
    transport.SerialSendString(QStringLiteral("x"), false);
    EXPECT_FALSE(transport.SerialGetResponseBytes(100, 2, reply.data()));
}

TEST_F(SerialTransportTest, AByteArrivingExactlyAtTheDeadlineIsStillTaken)
{
    ArriveAt(100, QByteArray::fromHex("7E05"));
    std::array<uint8_t, 2> reply{};
    EXPECT_TRUE(transport.SerialGetResponseBytes(100, 2, reply.data()));
}

TEST_F(SerialTransportTest, ZeroTimeOutStillDispatchesEventsOnce)
{
    host.Schedule(0, [this] { port.Inject(QByteArray::fromHex("7E")); });
    const int64_t callsBefore = host.ProcessEventsCalls();
    uint8_t byte = 0;
    EXPECT_TRUE(transport.SerialGetResponseBytes(0, 1, &byte));
    EXPECT_EQ(host.ProcessEventsCalls(), callsBefore + 1);
    EXPECT_EQ(byte, 0x7E);
}

TEST(SerialTransportWrapTest, TimeOutHoldsAcrossTheTickCountWrapping)
{
    for (const int32_t startTick : {INT32_MAX - 50, -60}) {
        VirtualHost host(startTick);
        SimulatedPort port(host);
        ASSERT_TRUE(port.Open());
        SerialTransport transport(port, host);
        std::array<uint8_t, 2> reply{};
        EXPECT_FALSE(transport.SerialGetResponseBytes(100, 2, reply.data()));
        EXPECT_EQ(host.NowMs(), 100) << "start tick " << startTick;
    }
}

TEST_F(SerialTransportTest, ALostLineEndsTheWaitAtOnce)
{
    host.Schedule(30, [this] { port.PullCable(); });
    std::array<uint8_t, 2> reply{};
    EXPECT_FALSE(transport.SerialGetResponseBytes(7500, 2, reply.data()));
    EXPECT_EQ(host.NowMs(), 30);
    EXPECT_TRUE(transport.LineLost());
}

TEST_F(SerialTransportTest, AClosedPortDoesNotWait)
{
    port.Close();
    std::array<uint8_t, 2> reply{};
    EXPECT_FALSE(transport.SerialGetResponseBytes(7500, 2, reply.data()));
    EXPECT_EQ(host.NowMs(), 0);
}

} // namespace
