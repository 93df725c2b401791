#pragma once

#include "DeviceTiming.h"
#include "FaultPlan.h"
#include "FlashModel.h"
#include "PacketParser.h"
#include "Scheduler.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

enum class DeviceMode
{
    Application, // the running application: waits for "# 017b", ignores everything else
    HandingOver, // between "# 017b" and the bootloader listening: ignores everything
    Bootloader,  // answers polls and executes packet commands
    LineClosed,  // the line is gone (a fault): nothing more in or out
};

// One frame on the line, as the device saw or sent it.
struct TraceFrame
{
    enum class Direction
    {
        In,
        Out
    };
    int64_t timeMicros;
    Direction direction;
    QByteArray bytes;
    // in: "string", "string during command" (the start string while a command is under way),
    // "poll", "packet", "rejected: <reason>"; out: "reply", "closed"
    QString kind;
    uint8_t command; // the packet command the frame belongs to; 0 for none
};

// The application header the device received last, and what it made of it.
struct ReceivedHeader
{
    int32_t start;
    int32_t last;
    uint16_t crc;
    uint16_t checksum;
    bool verified;
};

// The Norvane device as the host sees it over the serial line: its application hands over to
// the bootloader on "# 017b", the bootloader answers polls and executes the four packet
// commands on a flash model, with the timing of DeviceTiming and the misbehaviour of a
// FaultPlan. It runs on any Scheduler: virtual time in tests, real time on a pseudo-terminal.
class VirtualDevice
{
public:
    VirtualDevice(Scheduler& scheduler, DeviceTiming timing = {}, FaultPlan faults = {});
    ~VirtualDevice();
    VirtualDevice(const VirtualDevice&) = delete;
    VirtualDevice& operator=(const VirtualDevice&) = delete;

    // Where the device's bytes go, at the time they reach the host's end of the line.
    void SetTransmitSink(std::function<void(const QByteArray&)> sink);
    // Called once when the line closes (the close-after fault).
    void SetLineClosedSink(std::function<void()> sink);
    // Called for every frame as it is traced.
    void SetTraceSink(std::function<void(const TraceFrame&)> sink);

    // Bytes the host has just written to the line.
    void Receive(const uint8_t* bytes, int count);

    DeviceMode Mode() const { return m_mode; }
    const FirmwareImage& Flash() const { return m_flash.Bytes(); }
    FlashModel& FlashMemory() { return m_flash; }
    const std::vector<FlashViolation>& Violations() const { return m_flash.Violations(); }
    const std::vector<TraceFrame>& Trace() const { return m_trace; }
    const std::vector<ParsedFrame>& Rejected() const { return m_rejected; }
    const std::optional<ReceivedHeader>& LastHeader() const { return m_header; }
    int CommandsReceived() const { return m_commandsReceived; }
    int PollsAnswered() const { return m_pollsAnswered; }

private:
    struct Step
    {
        int64_t delayMicros;          // after the previous step
        std::function<bool()> effect; // does the work; its result picks the reply
        uint8_t reply;                // the reply code when effect gives true
        uint8_t failReply;            // the reply code when effect gives false
    };

    // Schedules an action that is skipped if the device is gone by then.
    void At(int64_t atMicros, std::function<void()> action);
    void ProcessByte(uint8_t byte);
    // Takes a byte into the recent input; true when it completes "# 017b".
    bool EndsStartString(uint8_t byte);
    // A command runs, or its replies are still on the line.
    bool CommandUnderway() const;
    void HandOver();
    void WatchForSilence();
    void HandleFrame(const ParsedFrame& frame);
    void Dispatch(const ParsedFrame& frame);
    void AnswerPoll();
    void Execute(const ParsedFrame& packet);
    bool ValidParameters(const ParsedFrame& packet) const;
    std::vector<Step> StepsFor(const ParsedFrame& packet);
    bool ProgramFromPacket(const QByteArray& packet);
    bool CheckHeader(const QByteArray& packet);
    void RunStep(std::shared_ptr<std::vector<Step>> steps, size_t index, int commandNumber,
                 uint8_t command);
    void FinishCommand();
    void SendReply(int commandNumber, int replyNumber, uint8_t command, uint8_t code);
    void Transmit(const QByteArray& bytes, uint8_t command);
    // Hands bytes to the host's end of the line at the given time, unless the line is gone.
    void Deliver(int64_t atMicros, const QByteArray& bytes);
    void CloseLine();
    void Record(TraceFrame::Direction direction, const QByteArray& bytes, const QString& kind,
                uint8_t command);

    Scheduler& m_scheduler;
    DeviceTiming m_timing;
    FaultPlan m_faults;
    FlashModel m_flash;
    PacketParser m_parser;
    DeviceMode m_mode = DeviceMode::Application;
    QByteArray m_recentInput; // the last bytes received, as long as "# 017b" at most
    // Bytes the bootloader received since the last one that came while a command was under way.
    qsizetype m_bytesSinceCommand = sizeof kStartBootloaderString;
    std::deque<ParsedFrame> m_pending; // frames that came in while a command ran
    bool m_busy = false;
    bool m_startApplication = false; // the header was verified: run the application next
    int64_t m_inLineFreeAt = 0;
    int64_t m_outLineFreeAt = 0;
    int64_t m_lastByteAt = -1;
    int m_commandsReceived = 0;
    int m_pollsAnswered = 0;
    std::optional<ReceivedHeader> m_header;
    std::vector<TraceFrame> m_trace;
    std::vector<ParsedFrame> m_rejected;
    std::function<void(const QByteArray&)> m_transmitSink;
    std::function<void()> m_lineClosedSink;
    std::function<void(const TraceFrame&)> m_traceSink;
    // Scheduled actions may outlive the device (a test ends mid-command): they check this.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
