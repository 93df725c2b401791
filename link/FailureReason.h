#pragma once

#include "SerialPort.h"

#include <cstdint>

// Why a download, or one bootloader command of it, did not succeed. Its word, sentence and
// the outcome it leads to are in the outcome table of the download library.
enum class FailureKind
{
    None,
    NoReply,              // a reply did not come within its time-out
    WrongReply,           // a reply code other than the one that was due
    VerifyRefused,        // the device found the image not matching the header (code 7)
    LineLost,             // the device or adapter was disconnected
    NoDevice,             // nothing answers to the port's name
    PermissionDenied,     // the user may not open the port
    PortBusy,             // another program holds the port
    NotASerialPort,       // the port is a regular file, a FIFO or no terminal
    PortUnusable,         // the port cannot be opened for a reason only the system tells
    BootloaderNotStarted, // the device never reported its bootloader ready
    FileMissing,          // the firmware file cannot be opened for reading
    FileNotUsable,        // opened, but not a usable S-record file
};

// The reason with what it concerns: the packet command (0 for none), the step address or
// block, which reply of the command (1-based), the codes, and the time-out that ran out.
struct FailureReason
{
    FailureKind kind = FailureKind::None;
    uint8_t command = 0;
    int32_t address = -1; // -1: the command has no address (erase, header)
    int16_t block = 0;    // 0: the command names no block
    int reply = 0;
    uint8_t expected = 0;
    uint8_t received = 0;
    int32_t timeoutMs = 0;
    int polls = 0;             // BootloaderNotStarted: the polls left unanswered
    bool dialoutGroup = false; // PermissionDenied: the device belongs to the group 'dialout'

    bool operator==(const FailureReason&) const = default;
};

// Why a port cannot be opened, from the port's own report.
FailureReason PortFailure(SerialError error);
