#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// What a reply fault does to the reply it hits.
enum class ReplyFaultKind
{
    Drop,    // the reply is not sent
    Change,  // the reply carries another code
    OneByte, // only the start byte 0x7E is sent
    Late,    // the reply comes after a delay longer than the host waits
    Garbage, // noise is sent instead of the reply
};

// Hits reply `reply` (1-based) of packet command `command` (1-based, counted over the device's
// life). The verify report after a header is that command's third reply.
struct ReplyFault
{
    ReplyFaultKind kind;
    int command;
    int reply;
    uint8_t code = 0;    // Change: the code sent instead
    int64_t delayMs = 0; // Late: how much later
};

// The ways the virtual device misbehaves on purpose.
struct FaultPlan
{
    bool neverAnswerPolls = false;
    bool garbagePolls = false;   // polls are answered with noise
    bool failVerify = false;     // the header check fails: the verify report is 7
    int closeAfterCommands = -1; // >= 0: the line closes as command n+1 arrives
    std::vector<ReplyFault> replyFaults;

    const ReplyFault* FaultFor(int command, int reply) const;
};

// The noise a garbage fault sends.
inline constexpr uint8_t kGarbageBytes[] = {0x00, 0xFF, 0x55, 0xAA, 0x13};

// Default delay of a late reply: longer than any time-out of the host (7.5 s per reply byte,
// 10 s for the verify report).
constexpr int64_t kDefaultLateMs = 12000;

// Reads a fault plan written as comma-separated items:
//   no-polls            never answer a poll
//   garbage-polls       answer every poll with noise
//   drop:N:K            drop reply K of command N
//   change:N:K:CODE     reply K of command N carries CODE instead (decimal or 0x..)
//   one-byte:N:K        only the first byte of reply K of command N
//   late:N:K[:MS]       reply K of command N comes MS ms late (default 12000)
//   garbage:N:K         noise instead of reply K of command N
//   fail-verify         the image check after the header fails (report 7)
//   close-after:N       the line closes when command N+1 arrives (a pulled cable)
// Commands are the packet commands, counted from 1; replies too. The verify report is reply 3
// of the header command. Returns nothing and sets error on a malformed item.
std::optional<FaultPlan> ParseFaultPlan(const QString& text, QString* error);

// Adds the items of text to plan; false (and error set) on a malformed item.
bool AddFaults(FaultPlan& plan, const QString& text, QString* error);

// The help text for the syntax above.
QString FaultPlanHelp();
