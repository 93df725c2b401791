#include "Bootloader.h"

#include "Crc16.h"
#include "FirmwareImage.h"
#include "Misc.h"

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

} // namespace

int32_t CalculateChecksum(const uint8_t* bytes, int32_t first, int32_t last)
{
    int32_t sum = 0;
    for (int32_t index = first; index <= last; ++index)
        sum += bytes[index];
    return -sum;
}

Bootloader::Bootloader(SerialTransport& transport, const std::atomic<bool>& cancel)
    : m_transport(transport), m_cancel(cancel)
{
}

int16_t Bootloader::StartBootloader()
{
    int16_t result = 2;
    m_transport.SerialSendString(QLatin1String(kStartBootloaderString), false);

    // The cancel flag is looked at between polls only. Polling also stops after kMaxPolls
    // unanswered polls and when the line is gone, so an absent device cannot hang a run.
    for (int32_t polls = 0;
         result == 2 && !m_cancel && polls < kMaxPolls && !m_transport.LineLost(); ++polls) {
        m_transport.SerialSendString(QLatin1String(kPollString), false);
        std::array<uint8_t, 2> reply{};
        if (m_transport.SerialGetResponseBytes(kPollTimeoutMs, 2, reply.data()) &&
            reply[0] == kStartByte && reply[1] == kReplyBootloaderReady)
            result = 1;
        Delay(m_transport.GetHost(), kPollPauseMs);
    }
    return result;
}

int16_t Bootloader::EraseBlock(int16_t block)
{
    std::array<uint8_t, kErasePacketLength> packet{kStartByte, kErasePacketLength - 2,
                                                   kCommandErase, static_cast<uint8_t>(block - 1)};
    const std::array<uint8_t, 2> replies{kReplyEraseAccepted, kReplyEraseComplete};
    return Exchange(packet.data(), packet.size(), replies.data(), replies.size());
}

int16_t Bootloader::ProgramFlashBlock(const uint8_t* data128, int32_t address)
{
    auto packet = ProgramPacket(kCommandProgram, 0x00, data128, address);
    const std::array<uint8_t, 2> replies{kReplyProgramAccepted, kReplyProgramComplete};
    return Exchange(packet.data(), packet.size(), replies.data(), replies.size());
}

int16_t Bootloader::EraseProgramFlashBlock(int16_t block, const uint8_t* data128, int32_t address)
{
    auto packet =
        ProgramPacket(kCommandEraseProgram, static_cast<uint8_t>(block - 1), data128, address);
    const std::array<uint8_t, 4> replies{kReplyEraseAccepted, kReplyEraseComplete,
                                         kReplyProgramAccepted, kReplyProgramComplete};
    return Exchange(packet.data(), packet.size(), replies.data(), replies.size());
}

int16_t Bootloader::ProgramAppHeader(int32_t lastAddress, int16_t crc, int32_t checksum)
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
    return Exchange(packet.data(), packet.size(), replies.data(), replies.size());
}

int16_t Bootloader::Exchange(uint8_t* packet, int32_t length, const uint8_t* replies,
                             int replyCount)
{
    m_transport.SerialSendPacket(packet, length);
    std::array<uint8_t, 2> reply{};
    for (int i = 0; i < replyCount; ++i) {
        if (!m_transport.SerialGetResponseBytes(kReplyTimeoutMs, 2, reply.data()))
            return 1;
        if (reply[1] != replies[i])
            return 1;
    }
    return 0;
}
