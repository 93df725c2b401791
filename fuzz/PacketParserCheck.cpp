#include "PacketParserCheck.h"

#include "Crc16.h"
#include "PacketParser.h"

#include <cstdio>
#include <cstdlib>

namespace {

void Require(bool condition, const char* rule)
{
    if (condition)
        return;
    std::fprintf(stderr, "packet parser broke a rule: %s\n", rule);
    std::abort();
}

void CheckFrame(const ParsedFrame& frame)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(frame.bytes.constData());
    const auto size = static_cast<int32_t>(frame.bytes.size());
    Require(size >= 1 && bytes[0] == 0x7E, "a frame starts with 0x7E");
    Require(size <= PacketParser::kMaxLength + 2,
            "a frame is never longer than the longest packet");
    switch (frame.kind) {
    case ParsedFrame::Kind::Poll:
        Require(frame.bytes == QByteArrayLiteral("~# 0155"), "a poll is the poll string");
        break;
    case ParsedFrame::Kind::Packet: {
        Require(size >= 5 && size == bytes[1] + 2, "a packet is as long as its length byte says");
        Require(PacketParser::LengthOfCommand(bytes[2]) == bytes[1],
                "a packet carries a known command with its length");
        const uint16_t crc = CalculateCrc(bytes, 1, size - 3);
        Require(bytes[size - 2] == (crc >> 8) && bytes[size - 1] == (crc & 0xFF),
                "a packet's CRC matches");
        break;
    }
    case ParsedFrame::Kind::Rejected:
        break;
    }
}

} // namespace

void CheckPacketParser(const uint8_t* data, size_t size)
{
    PacketParser parser;
    int64_t accounted = 0;
    for (size_t i = 0; i < size; ++i) {
        if (const std::optional<ParsedFrame> frame = parser.Feed(data[i])) {
            CheckFrame(*frame);
            accounted += frame->bytes.size();
        }
    }
    if (const std::optional<ParsedFrame> cut = parser.Abandon()) {
        Require(cut->reason == RejectReason::Incomplete, "a cut-short frame is incomplete");
        accounted += cut->bytes.size();
    }
    Require(!parser.InFrame(), "nothing is left after giving up");
    Require(accounted + parser.SkippedBytes() == static_cast<int64_t>(size),
            "every byte is in one frame or skipped");
}
