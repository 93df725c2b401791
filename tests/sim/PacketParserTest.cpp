#include "PacketParser.h"

#include "Crc16.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

// A packet with its CRC filled in, as a host sends it.
QByteArray Packet(const QByteArray& withoutCrc)
{
    const uint16_t crc = CalculateCrc(reinterpret_cast<const uint8_t*>(withoutCrc.constData()), 1,
                                      static_cast<int32_t>(withoutCrc.size()) - 1);
    QByteArray packet = withoutCrc;
    packet.append(static_cast<char>(crc >> 8));
    packet.append(static_cast<char>(crc & 0xFF));
    return packet;
}

std::vector<ParsedFrame> FeedAll(PacketParser& parser, const QByteArray& bytes)
{
    std::vector<ParsedFrame> frames;
    for (const char byte : bytes) {
        if (std::optional<ParsedFrame> frame = parser.Feed(static_cast<uint8_t>(byte)))
            frames.push_back(*frame);
    }
    return frames;
}

struct ParserCase
{
    const char* name;
    QByteArray input;
    ParsedFrame::Kind kind;
    RejectReason reason;
    int frameSize;
};

class PacketParserCaseTest : public ::testing::TestWithParam<ParserCase>
{
};

const QByteArray kProgram = Packet(QByteArray::fromHex("7E890100003000"
                                                       "8000") +
                                   QByteArray(128, '\x7E'));

INSTANTIATE_TEST_SUITE_P(
    Frames, PacketParserCaseTest,
    ::testing::Values(
        ParserCase{"Poll", "~# 0155", ParsedFrame::Kind::Poll, {}, 7},
        ParserCase{"Erase", QByteArray::fromHex("7E040200A140"), ParsedFrame::Kind::Packet, {}, 6},
        ParserCase{"ProgramFullOf7E", kProgram, ParsedFrame::Kind::Packet, {}, 139},
        ParserCase{"Header",
                   QByteArray::fromHex("7E0F04000030000003FFFF1234FFFA6AB7"),
                   ParsedFrame::Kind::Packet,
                   {},
                   17},
        ParserCase{"StrayBytesBeforeAFrame",
                   QByteArray::fromHex("0055FF7E040200A140"),
                   ParsedFrame::Kind::Packet,
                   {},
                   6},
        ParserCase{"BadCrc", QByteArray::fromHex("7E040200A141"), ParsedFrame::Kind::Rejected,
                   RejectReason::BadCrc, 6},
        ParserCase{"LengthTooShort", QByteArray::fromHex("7E02"), ParsedFrame::Kind::Rejected,
                   RejectReason::BadLength, 2},
        ParserCase{"LengthTooLong", QByteArray::fromHex("7E8A"), ParsedFrame::Kind::Rejected,
                   RejectReason::BadLength, 2},
        ParserCase{"LengthNotTheCommands", Packet(QByteArray::fromHex("7E050200FF")),
                   ParsedFrame::Kind::Rejected, RejectReason::BadLength, 7},
        ParserCase{"UnknownCommand", Packet(QByteArray::fromHex("7E040900")),
                   ParsedFrame::Kind::Rejected, RejectReason::UnknownCommand, 6},
        ParserCase{"BrokenPoll", "~# 01x", ParsedFrame::Kind::Rejected, RejectReason::BadPoll, 5}),
    [](const ::testing::TestParamInfo<ParserCase>& info) { return info.param.name; });

TEST_P(PacketParserCaseTest, ClassifiesTheFrame)
{
    PacketParser parser;
    const std::vector<ParsedFrame> frames = FeedAll(parser, GetParam().input);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].kind, GetParam().kind);
    if (GetParam().kind == ParsedFrame::Kind::Rejected) {
        EXPECT_EQ(frames[0].reason, GetParam().reason);
    }
    EXPECT_EQ(frames[0].bytes.size(), GetParam().frameSize);
    EXPECT_FALSE(parser.InFrame());
}

TEST(PacketParserTest, RecoversAfterARejectedFrame)
{
    PacketParser parser;
    const auto frames = FeedAll(parser, QByteArray::fromHex("7E040200A141") + "~# 0~# 0155" +
                                            QByteArray::fromHex("7E04020B6601"));
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].reason, RejectReason::BadCrc);
    EXPECT_EQ(frames[1].reason, RejectReason::BadPoll);
    EXPECT_EQ(frames[2].kind, ParsedFrame::Kind::Poll);
    EXPECT_EQ(frames[3].kind, ParsedFrame::Kind::Packet);
    EXPECT_EQ(frames[3].Command(), 0x02);
}

TEST(PacketParserTest, AbandonGivesUpACutShortFrameOnly)
{
    PacketParser parser;
    EXPECT_FALSE(parser.Abandon().has_value());
    FeedAll(parser, QByteArray::fromHex("7E890100"));
    ASSERT_TRUE(parser.InFrame());
    const std::optional<ParsedFrame> cut = parser.Abandon();
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(cut->reason, RejectReason::Incomplete);
    EXPECT_EQ(cut->bytes, QByteArray::fromHex("7E890100"));
    EXPECT_EQ(FeedAll(parser, QByteArray::fromHex("7E040200A140")).size(), 1u);
}

} // namespace
