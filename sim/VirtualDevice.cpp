#include "VirtualDevice.h"

#include "Crc16.h"
#include "Protocol.h"

#include <algorithm>
#include <utility>

namespace {

const QByteArray kStartBootloader(kStartBootloaderString);

uint8_t ByteAt(const QByteArray& bytes, int index)
{
    return static_cast<uint8_t>(bytes.at(index));
}

int32_t Address24(const QByteArray& bytes, int first)
{
    return (ByteAt(bytes, first) << 16) | (ByteAt(bytes, first + 1) << 8) |
           ByteAt(bytes, first + 2);
}

// A two-byte reply: the start byte and a code.
QByteArray Reply(uint8_t code)
{
    QByteArray reply;
    reply.append(static_cast<char>(kStartByte));
    reply.append(static_cast<char>(code));
    return reply;
}

QString FrameKind(const ParsedFrame& frame)
{
    switch (frame.kind) {
    case ParsedFrame::Kind::Poll:
        return QStringLiteral("poll");
    case ParsedFrame::Kind::Packet:
        return QStringLiteral("packet");
    case ParsedFrame::Kind::Rejected:
        break;
    }
    return QStringLiteral("rejected: ") + QLatin1String(RejectReasonName(frame.reason));
}

} // namespace

VirtualDevice::VirtualDevice(Scheduler& scheduler, DeviceTiming timing, FaultPlan faults)
    : m_scheduler(scheduler), m_timing(timing), m_faults(std::move(faults))
{
}

VirtualDevice::~VirtualDevice()
{
    *m_alive = false;
}

void VirtualDevice::SetTransmitSink(std::function<void(const QByteArray&)> sink)
{
    m_transmitSink = std::move(sink);
}

void VirtualDevice::SetLineClosedSink(std::function<void()> sink)
{
    m_lineClosedSink = std::move(sink);
}

void VirtualDevice::SetTraceSink(std::function<void(const TraceFrame&)> sink)
{
    m_traceSink = std::move(sink);
}

void VirtualDevice::At(int64_t atMicros, std::function<void()> action)
{
    std::weak_ptr<bool> alive = m_alive;
    m_scheduler.CallAt(atMicros, [alive, action = std::move(action)] {
        if (const auto living = alive.lock(); living && *living)
            action();
    });
}

void VirtualDevice::Receive(const uint8_t* bytes, int count)
{
    if (!m_timing.pace) {
        for (int i = 0; i < count; ++i)
            ProcessByte(bytes[i]);
        return;
    }
    // Each byte arrives when the line has carried it, after the bytes before it.
    for (int i = 0; i < count; ++i) {
        m_inLineFreeAt =
            std::max(m_inLineFreeAt, m_scheduler.NowMicros()) + DeviceTiming::kByteMicros;
        const uint8_t byte = bytes[i];
        At(m_inLineFreeAt, [this, byte] { ProcessByte(byte); });
    }
}

void VirtualDevice::ProcessByte(uint8_t byte)
{
    m_lastByteAt = m_scheduler.NowMicros();
    switch (m_mode) {
    case DeviceMode::Application:
        if (EndsStartString(byte))
            HandOver();
        break;
    case DeviceMode::Bootloader:
        // The bootloader ignores the string, but a host that sends it while a command is still
        // under way (a byte of it arrived then) has begun anew without waiting for the device:
        // the trace shows it.
        m_bytesSinceCommand = CommandUnderway() ? 0 : m_bytesSinceCommand + 1;
        if (EndsStartString(byte) && m_bytesSinceCommand < kStartBootloader.size())
            Record(TraceFrame::Direction::In, kStartBootloader,
                   QStringLiteral("string during command"), 0);
        if (const std::optional<ParsedFrame> frame = m_parser.Feed(byte))
            HandleFrame(*frame);
        if (m_parser.InFrame())
            WatchForSilence();
        break;
    case DeviceMode::HandingOver:
    case DeviceMode::LineClosed:
        break;
    }
}

bool VirtualDevice::EndsStartString(uint8_t byte)
{
    m_recentInput.append(static_cast<char>(byte));
    if (m_recentInput.size() > kStartBootloader.size())
        m_recentInput.remove(0, m_recentInput.size() - kStartBootloader.size());
    return m_recentInput == kStartBootloader;
}

bool VirtualDevice::CommandUnderway() const
{
    return m_busy || m_outLineFreeAt > m_scheduler.NowMicros();
}

void VirtualDevice::HandOver()
{
    Record(TraceFrame::Direction::In, m_recentInput, QStringLiteral("string"), 0);
    m_recentInput.clear();
    m_mode = DeviceMode::HandingOver;
    At(m_scheduler.NowMicros() + m_timing.handoverMicros, [this] {
        if (m_mode != DeviceMode::HandingOver)
            return;
        m_parser = PacketParser();
        m_mode = DeviceMode::Bootloader;
    });
}

void VirtualDevice::WatchForSilence()
{
    const int64_t byteTime = m_lastByteAt;
    At(byteTime + m_timing.silenceMicros, [this, byteTime] {
        if (m_mode != DeviceMode::Bootloader || m_lastByteAt != byteTime)
            return;
        if (const std::optional<ParsedFrame> cut = m_parser.Abandon())
            HandleFrame(*cut);
    });
}

void VirtualDevice::HandleFrame(const ParsedFrame& frame)
{
    const uint8_t command = frame.kind == ParsedFrame::Kind::Poll ? 0 : frame.Command();
    Record(TraceFrame::Direction::In, frame.bytes, FrameKind(frame), command);
    if (frame.kind == ParsedFrame::Kind::Rejected) {
        m_rejected.push_back(frame);
        return;
    }
    if (m_busy) {
        m_pending.push_back(frame);
        return;
    }
    Dispatch(frame);
}

void VirtualDevice::Dispatch(const ParsedFrame& frame)
{
    if (frame.kind == ParsedFrame::Kind::Poll)
        AnswerPoll();
    else
        Execute(frame);
}

void VirtualDevice::AnswerPoll()
{
    if (m_faults.neverAnswerPolls)
        return;
    const QByteArray reply =
        m_faults.garbagePolls
            ? QByteArray(reinterpret_cast<const char*>(kGarbageBytes), sizeof kGarbageBytes)
            : Reply(kReplyBootloaderReady);
    ++m_pollsAnswered;
    At(m_scheduler.NowMicros() + m_timing.replyLatencyMicros,
       [this, reply] { Transmit(reply, 0); });
}

void VirtualDevice::Execute(const ParsedFrame& packet)
{
    ++m_commandsReceived;
    if (m_faults.closeAfterCommands >= 0 && m_commandsReceived > m_faults.closeAfterCommands) {
        CloseLine();
        return;
    }
    if (!ValidParameters(packet)) {
        ParsedFrame refused = packet;
        refused.kind = ParsedFrame::Kind::Rejected;
        refused.reason = RejectReason::BadParameter;
        m_rejected.push_back(refused);
        return;
    }
    m_busy = true;
    auto steps = std::make_shared<std::vector<Step>>(StepsFor(packet));
    const int commandNumber = m_commandsReceived;
    const uint8_t command = packet.Command();
    At(m_scheduler.NowMicros() + steps->front().delayMicros,
       [this, steps, commandNumber, command] { RunStep(steps, 0, commandNumber, command); });
}

bool VirtualDevice::ValidParameters(const ParsedFrame& packet) const
{
    const QByteArray& bytes = packet.bytes;
    switch (packet.Command()) {
    case kCommandErase:
        return ByteAt(bytes, 3) < kFlashBlockCount;
    case kCommandEraseProgram:
        if (ByteAt(bytes, 8) >= kFlashBlockCount)
            return false;
        [[fallthrough]];
    case kCommandProgram:
        return ByteAt(bytes, 7) == kStepSize && Address24(bytes, 4) + kStepSize <= kImageSize;
    default:
        return true;
    }
}

std::vector<VirtualDevice::Step> VirtualDevice::StepsFor(const ParsedFrame& packet)
{
    const QByteArray bytes = packet.bytes;
    const int64_t latency = m_timing.replyLatencyMicros;
    const int64_t programTime = m_timing.programMicrosPer128;
    const auto accept = [] { return true; };
    const auto eraseStep = [this](int16_t block) {
        return Step{m_timing.EraseMicros(BlockSize(block)),
                    [this, block] {
                        m_flash.EraseBlock(block);
                        return true;
                    },
                    kReplyEraseComplete, kReplyEraseComplete};
    };
    const auto programStep = [this, bytes, programTime] {
        return Step{programTime, [this, bytes] { return ProgramFromPacket(bytes); },
                    kReplyProgramComplete, kReplyProgramComplete};
    };

    switch (packet.Command()) {
    case kCommandErase:
        return {{latency, accept, kReplyEraseAccepted, kReplyEraseAccepted},
                eraseStep(static_cast<int16_t>(ByteAt(bytes, 3) + 1))};
    case kCommandProgram:
        return {{latency, accept, kReplyProgramAccepted, kReplyProgramAccepted}, programStep()};
    case kCommandEraseProgram:
        return {{latency, accept, kReplyEraseAccepted, kReplyEraseAccepted},
                eraseStep(static_cast<int16_t>(ByteAt(bytes, 8) + 1)),
                {latency, accept, kReplyProgramAccepted, kReplyProgramAccepted},
                programStep()};
    default: // the application header
        return {{latency, accept, kReplyProgramAccepted, kReplyProgramAccepted},
                {programTime, accept, kReplyProgramComplete, kReplyProgramComplete},
                {m_timing.verifyMicros, [this, bytes] { return CheckHeader(bytes); },
                 kReplyApplicationVerified, kReplyVerifyRefused}};
    }
}

bool VirtualDevice::ProgramFromPacket(const QByteArray& packet)
{
    const auto* data = reinterpret_cast<const uint8_t*>(packet.constData()) + 9;
    m_flash.Program(Address24(packet, 4), data, kStepSize);
    return true;
}

bool VirtualDevice::CheckHeader(const QByteArray& packet)
{
    ReceivedHeader header{Address24(packet, 4), Address24(packet, 8),
                          static_cast<uint16_t>((ByteAt(packet, 11) << 8) | ByteAt(packet, 12)),
                          static_cast<uint16_t>((ByteAt(packet, 13) << 8) | ByteAt(packet, 14)),
                          false};
    // An application that ends below its start covers no bytes: CRC and checksum are then 0.
    if (header.last < kImageSize && !m_faults.failVerify) {
        const FirmwareImage& flash = m_flash.Bytes();
        const uint16_t crc = CalculateCrc(flash.data(), header.start, header.last);
        uint32_t sum = header.checksum;
        for (int32_t address = header.start; address <= header.last; ++address)
            sum += flash[address];
        header.verified = crc == header.crc && (sum & 0xFFFF) == 0;
    }
    m_header = header;
    m_startApplication = header.verified;
    return header.verified;
}

void VirtualDevice::RunStep(std::shared_ptr<std::vector<Step>> steps, size_t index,
                            int commandNumber, uint8_t command)
{
    const Step& step = (*steps)[index];
    const uint8_t code = step.effect() ? step.reply : step.failReply;
    const int replyNumber = static_cast<int>(index) + 1;

    // A late reply holds up the rest of the command as well.
    const ReplyFault* fault = m_faults.FaultFor(commandNumber, replyNumber);
    const int64_t hold = fault && fault->kind == ReplyFaultKind::Late ? fault->delayMs * 1000 : 0;
    At(m_scheduler.NowMicros() + hold, [this, commandNumber, replyNumber, command, code] {
        SendReply(commandNumber, replyNumber, command, code);
    });

    if (index + 1 == steps->size()) {
        At(m_scheduler.NowMicros() + hold, [this] { FinishCommand(); });
        return;
    }
    At(m_scheduler.NowMicros() + hold + (*steps)[index + 1].delayMicros,
       [this, steps, index, commandNumber, command] {
           RunStep(steps, index + 1, commandNumber, command);
       });
}

void VirtualDevice::FinishCommand()
{
    m_busy = false;
    if (m_mode == DeviceMode::LineClosed)
        return;
    if (m_startApplication) {
        // The verified application runs; it listens for "# 017b" again.
        m_startApplication = false;
        m_pending.clear();
        m_recentInput.clear();
        m_mode = DeviceMode::Application;
        return;
    }
    while (!m_busy && !m_pending.empty()) {
        const ParsedFrame next = m_pending.front();
        m_pending.pop_front();
        Dispatch(next);
    }
}

void VirtualDevice::SendReply(int commandNumber, int replyNumber, uint8_t command, uint8_t code)
{
    if (m_mode == DeviceMode::LineClosed)
        return;
    QByteArray reply = Reply(code);
    if (const ReplyFault* fault = m_faults.FaultFor(commandNumber, replyNumber)) {
        switch (fault->kind) {
        case ReplyFaultKind::Drop:
            return;
        case ReplyFaultKind::Change:
            reply[1] = static_cast<char>(fault->code);
            break;
        case ReplyFaultKind::OneByte:
            reply.truncate(1);
            break;
        case ReplyFaultKind::Garbage:
            reply = QByteArray(reinterpret_cast<const char*>(kGarbageBytes), sizeof kGarbageBytes);
            break;
        case ReplyFaultKind::Late: // already held back by RunStep
            break;
        }
    }
    Transmit(reply, command);
}

void VirtualDevice::Transmit(const QByteArray& bytes, uint8_t command)
{
    if (m_mode == DeviceMode::LineClosed)
        return;
    Record(TraceFrame::Direction::Out, bytes, QStringLiteral("reply"), command);
    if (!m_transmitSink)
        return;
    const int64_t latency = m_timing.adapterLatencyMicros;
    if (!m_timing.pace && latency == 0) {
        m_transmitSink(bytes);
        return;
    }
    if (!m_timing.pace) {
        Deliver(m_scheduler.NowMicros() + latency, bytes);
        return;
    }
    for (const char byte : bytes) {
        m_outLineFreeAt =
            std::max(m_outLineFreeAt, m_scheduler.NowMicros()) + DeviceTiming::kByteMicros;
        Deliver(m_outLineFreeAt + latency, QByteArray(1, byte));
    }
}

void VirtualDevice::Deliver(int64_t atMicros, const QByteArray& bytes)
{
    At(atMicros, [this, bytes] {
        if (m_mode != DeviceMode::LineClosed && m_transmitSink)
            m_transmitSink(bytes);
    });
}

void VirtualDevice::CloseLine()
{
    m_mode = DeviceMode::LineClosed;
    m_pending.clear();
    Record(TraceFrame::Direction::Out, {}, QStringLiteral("closed"), 0);
    if (m_lineClosedSink)
        m_lineClosedSink();
}

void VirtualDevice::Record(TraceFrame::Direction direction, const QByteArray& bytes,
                           const QString& kind, uint8_t command)
{
    m_trace.push_back({m_scheduler.NowMicros(), direction, bytes, kind, command});
    if (m_traceSink)
        m_traceSink(m_trace.back());
}
