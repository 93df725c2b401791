#include "PacketParser.h"

#include "Crc16.h"
#include "Protocol.h"

namespace {

constexpr uint8_t kMinLength = 3; // command and the two CRC bytes
const QByteArray kPoll(kPollString);

} // namespace

const char* RejectReasonName(RejectReason reason)
{
    switch (reason) {
    case RejectReason::BadLength:
        return "bad length";
    case RejectReason::BadCrc:
        return "bad CRC";
    case RejectReason::UnknownCommand:
        return "unknown command";
    case RejectReason::BadPoll:
        return "bad poll";
    case RejectReason::Incomplete:
        return "incomplete";
    case RejectReason::BadParameter:
        return "bad parameter";
    }
    return "?";
}

PacketParser::PacketParser() = default;

uint8_t PacketParser::LengthOfCommand(uint8_t command)
{
    const int32_t packetLength = PacketLength(command);
    return packetLength == 0 ? 0 : static_cast<uint8_t>(packetLength - 2);
}

std::optional<ParsedFrame> PacketParser::Feed(uint8_t byte)
{
    if (m_frame.isEmpty()) {
        if (byte == kStartByte)
            m_frame.append(static_cast<char>(byte));
        else
            ++m_skipped;
        return std::nullopt;
    }
    // The poll string also begins with 0x7E; its second character '#' is no packet length.
    if (m_frame.size() >= 2 && m_frame.at(1) == kPoll.at(1))
        return FeedPoll(byte);

    m_frame.append(static_cast<char>(byte));
    if (m_frame.size() == 2) {
        if (byte == static_cast<uint8_t>(kPoll.at(1)))
            return std::nullopt;
        if (byte < kMinLength || byte > kMaxLength)
            return Reject(RejectReason::BadLength);
        return std::nullopt;
    }
    const int length = static_cast<uint8_t>(m_frame.at(1));
    if (m_frame.size() < length + 2)
        return std::nullopt;
    return FinishPacket();
}

std::optional<ParsedFrame> PacketParser::FeedPoll(uint8_t byte)
{
    if (byte != static_cast<uint8_t>(kPoll.at(m_frame.size()))) {
        ParsedFrame rejected = Reject(RejectReason::BadPoll);
        // The byte that broke the poll may start the next frame.
        if (byte == kStartByte)
            m_frame.append(static_cast<char>(byte));
        else
            ++m_skipped;
        return rejected;
    }
    m_frame.append(static_cast<char>(byte));
    if (m_frame.size() < kPoll.size())
        return std::nullopt;
    ParsedFrame poll{ParsedFrame::Kind::Poll, m_frame};
    m_frame.clear();
    return poll;
}

std::optional<ParsedFrame> PacketParser::FinishPacket()
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(m_frame.constData());
    const int32_t last = static_cast<int32_t>(m_frame.size()) - 1;
    const uint16_t crc = CalculateCrc(bytes, 1, last - 2);
    if (bytes[last - 1] != HiByte(crc) || bytes[last] != (crc & 0xFF))
        return Reject(RejectReason::BadCrc);
    const uint8_t expectedLength = LengthOfCommand(bytes[2]);
    if (expectedLength == 0)
        return Reject(RejectReason::UnknownCommand);
    if (expectedLength != bytes[1])
        return Reject(RejectReason::BadLength);
    ParsedFrame packet{ParsedFrame::Kind::Packet, m_frame};
    m_frame.clear();
    return packet;
}

std::optional<ParsedFrame> PacketParser::Abandon()
{
    if (m_frame.isEmpty())
        return std::nullopt;
    return Reject(RejectReason::Incomplete);
}

ParsedFrame PacketParser::Reject(RejectReason reason)
{
    ParsedFrame rejected{ParsedFrame::Kind::Rejected, m_frame, reason};
    m_frame.clear();
    return rejected;
}
