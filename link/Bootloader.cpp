#include "Bootloader.h"

#include "Crc16.h"
#include "Delay.h"
#include "FirmwareImage.h"

#include <algorithm>
#include <array>

namespace {

// Writes 0x00 and address bits 23..16, 15..8, 7..0 into four bytes.
void PutAddress(uint8_t* at, int32_t address)
{
    at[0] = 0x00;
    at[1] = static_cast<uint8_t>((address >> 16) & 0xFF);
    at[2] = static_cast<uint8_t>((address >> 8) & 0xFF);
    at[3] = static_cast<uint8_t>(address & 0xFF);
}

// The 139-byte frame shared by the program and erase-and-program commands.
std::array<uint8_t, kProgramPacketLength> ProgramPacket(uint8_t command, uint8_t eraseBlockIndex,
                                                        const uint8_t* data128, int32_t address)
{
    std::array<uint8_t, kProgramPacketLength> packet{};
    packet[0] = kStartByte;
    packet[1] = static_cast<uint8_t>(kProgramPacketLength - 2);
    packet[2] = command;
    PutAddress(&packet[3], address);
    packet[7] = static_cast<uint8_t>(kStepSize);
    packet[8] = eraseBlockIndex;
    std::copy(data128, data128 + kStepSize, packet.begin() + 9);
    return packet;
}

ReplyKind ReplyKindOf(uint8_t command)
{
    switch (command) {
    case kCommandErase:
        return ReplyKind::Erase;
    case kCommandEraseProgram:
        return ReplyKind::EraseProgram;
    case kCommandHeader:
        return ReplyKind::Header;
    default:
        return ReplyKind::Program;
    }
}

} // namespace

int32_t CalculateChecksum(const uint8_t* bytes, int32_t first, int32_t last)
{
    int32_t sum = 0;
    for (int32_t index = first; index <= last; ++index)
        sum += bytes[index];
    return -sum;
}

Bootloader::Bootloader(SerialTransport& transport, const std::atomic<bool>& cancel)
    : m_transport(transport), m_cancel(cancel), m_replies(transport.GetHost())
{
}

BootloaderStart Bootloader::StartBootloader()
{
    m_transport.SerialSendString(QLatin1String(kStartBootloaderString), false);

    // The cancel flag is looked at between polls only. Polling also stops after kMaxPolls
    // unanswered polls and when the line is gone, so an absent device cannot hang a run.
    for (int32_t polls = 0; polls < kMaxPolls; ++polls) {
        if (m_cancel)
            return BootloaderStart::Cancelled;
        if (m_transport.LineLost())
            return BootloaderStart::LineLost;
        m_transport.SerialSendString(QLatin1String(kPollString), false);
        m_replies.CommandSent(ReplyKind::Poll, sizeof kPollString - 1);
        std::array<uint8_t, kReplyLength> reply{};
        const bool answered =
            m_transport.SerialGetResponseBytes(kPollTimeoutMs, kReplyLength, reply.data());
        if (answered)
            m_replies.ReplyArrived(kReplyLength);
        const bool ready = answered && reply[0] == kStartByte && reply[1] == kReplyBootloaderReady;
        Delay(m_transport.GetHost(), kPollPauseMs);
        if (ready)
            return BootloaderStart::Ready;
    }
    return BootloaderStart::NoAnswer;
}

CommandResult Bootloader::EraseBlock(int16_t block)
{
    std::array<uint8_t, kErasePacketLength> packet{kStartByte, kErasePacketLength - 2,
                                                   kCommandErase, static_cast<uint8_t>(block - 1)};
    const std::array<uint8_t, 2> replies{kReplyEraseAccepted, kReplyEraseComplete};
    FailureReason subject;
    subject.command = kCommandErase;
    subject.block = block;
    return Exchange(packet.data(), packet.size(), replies.data(), replies.size(), subject);
}

CommandResult Bootloader::ProgramFlashBlock(const uint8_t* data128, int32_t address)
{
    auto packet = ProgramPacket(kCommandProgram, 0x00, data128, address);
    const std::array<uint8_t, 2> replies{kReplyProgramAccepted, kReplyProgramComplete};
    FailureReason subject;
    subject.command = kCommandProgram;
    subject.address = address;
    return Exchange(packet.data(), packet.size(), replies.data(), replies.size(), subject);
}

CommandResult Bootloader::EraseProgramFlashBlock(int16_t block, const uint8_t* data128,
                                                 int32_t address)
{
    auto packet =
        ProgramPacket(kCommandEraseProgram, static_cast<uint8_t>(block - 1), data128, address);
    const std::array<uint8_t, 4> replies{kReplyEraseAccepted, kReplyEraseComplete,
                                         kReplyProgramAccepted, kReplyProgramComplete};
    FailureReason subject;
    subject.command = kCommandEraseProgram;
    subject.address = address;
    subject.block = block;
    return Exchange(packet.data(), packet.size(), replies.data(), replies.size(), subject);
}

CommandResult Bootloader::ProgramAppHeader(int32_t lastAddress, int16_t crc, int32_t checksum)
{
    std::array<uint8_t, kHeaderPacketLength> packet{};
    packet[0] = kStartByte;
    packet[1] = static_cast<uint8_t>(kHeaderPacketLength - 2);
    packet[2] = kCommandHeader;
    PutAddress(&packet[3], kApplicationStart);
    PutAddress(&packet[7], lastAddress);
    const auto crcBits = static_cast<uint16_t>(crc);
    packet[11] = HiByte(crcBits);
    packet[12] = static_cast<uint8_t>(crcBits & 0xFF);
    packet[13] = static_cast<uint8_t>((checksum >> 8) & 0xFF);
    packet[14] = static_cast<uint8_t>(checksum & 0xFF);
    const std::array<uint8_t, 2> replies{kReplyProgramAccepted, kReplyProgramComplete};
    FailureReason subject;
    subject.command = kCommandHeader;
    return Exchange(packet.data(), packet.size(), replies.data(), replies.size(), subject);
}

CommandResult Bootloader::AwaitVerify()
{
    // Only byte 1 of the report is judged.
    FailureReason subject;
    subject.command = kCommandHeader;
    subject.reply = 3;
    subject.expected = kReplyApplicationVerified;
    uint8_t code = 0;
    m_replies.AwaitKind(ReplyKind::Verify);
    FailureReason failure = ReadReply(subject, kVerifyTimeoutMs, code);
    if (failure.kind == FailureKind::None && code != kReplyApplicationVerified) {
        failure = subject;
        failure.kind =
            code == kReplyVerifyRefused ? FailureKind::VerifyRefused : FailureKind::WrongReply;
        failure.received = code;
    }
    return {failure};
}

CommandResult Bootloader::Exchange(uint8_t* packet, int32_t length, const uint8_t* replies,
                                   int replyCount, FailureReason subject)
{
    m_transport.SerialSendPacket(packet, length);
    m_replies.CommandSent(ReplyKindOf(subject.command), length);
    for (int i = 0; i < replyCount; ++i) {
        subject.reply = i + 1;
        subject.expected = replies[i];
        uint8_t code = 0;
        const FailureReason failure = ReadReply(subject, kReplyTimeoutMs, code);
        if (failure.kind != FailureKind::None)
            return {failure};
        if (code != replies[i]) {
            subject.kind = FailureKind::WrongReply;
            subject.received = code;
            return {subject};
        }
    }
    return {};
}

FailureReason Bootloader::ReadReply(FailureReason subject, int32_t timeoutMs, uint8_t& code)
{
    std::array<uint8_t, kReplyLength> reply{};
    if (m_transport.SerialGetResponseBytes(timeoutMs, kReplyLength, reply.data())) {
        m_replies.ReplyArrived(kReplyLength);
        code = reply[1];
        return {};
    }
    subject.kind = m_transport.LineLost() ? FailureKind::LineLost : FailureKind::NoReply;
    subject.timeoutMs = timeoutMs;
    return subject;
}
