#pragma once

#include "FirmwareImage.h"

#include <cstdint>
#include <vector>

// One packet command of a download, in the order it is sent.
struct PlannedCommand
{
    enum class Kind
    {
        Erase,        // erase block `block`
        Program,      // program the 128 bytes at `address`
        EraseProgram, // erase block `block` and program the 128 bytes at `address` (address 0)
    };
    Kind kind;
    int16_t block;   // the block of the step; for Program only informative
    int32_t address; // the step the command belongs to: sent after the steps before it
    // An erase of a block with nothing to program, due because the device checks it.
    bool blankBlock = false;

    bool operator==(const PlannedCommand&) const = default;
};

// Bytes on the line for a part of a download.
struct WireBytes
{
    int64_t toDevice = 0;
    int64_t fromDevice = 0;

    int64_t Total() const { return toDevice + fromDevice; }
    WireBytes& operator+=(const WireBytes& other);
};

// What a download of an image does, worked out before anything is sent: the 128-byte steps
// from the start (rounded down) to the end, the commands in order, whether the application
// header is programmed and verified, and the bytes each way.
struct DownloadPlan
{
    int32_t firstStep = 0;    // the start rounded down to a step
    int32_t endAddress = 0;   // the last loaded address; the header carries it
    int32_t stepCount = 0;    // every step from firstStep to endAddress, blank ones included
    int32_t programSteps = 0; // steps that are programmed (not blank)
    std::vector<PlannedCommand> commands;
    bool header = false; // block 1 is erased: the header follows and the device verifies
    // "# 017b", one answered poll and its reply.
    WireBytes bootloaderStart;
    // Every command, the header and the verify report.
    WireBytes programming;

    WireBytes Total() const;
    // The blocks erased, in the order they are erased.
    std::vector<int16_t> ErasedBlocks() const;
};

// Plans the download of image from startAddr to endAddr. Each step that is not all 0xFF is
// programmed, and its block erased right before the block's first such step (the step at
// address 0 erases and programs in one command). Once block 1 is erased, the device will check
// the application area from 0x3000 to the end against the header: a block there that holds only
// blank steps is then erased when the walk reaches it, so that no old bytes stay behind.
DownloadPlan PlanDownload(const FirmwareImage& image, int32_t startAddr, int32_t endAddr);

// The bytes a command and its replies put on the line.
WireBytes CommandBytes(PlannedCommand::Kind kind);
// The header packet, its two replies and the verify report.
WireBytes HeaderBytes();
