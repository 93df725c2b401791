#include "DownloadPlan.h"

#include "Protocol.h"

#include <algorithm>
#include <array>

namespace {

bool BlankStep(const FirmwareImage& image, int32_t address)
{
    const auto first = image.begin() + address;
    return std::all_of(first, first + kStepSize, [](uint8_t b) { return b == 0xFF; });
}

} // namespace

WireBytes& WireBytes::operator+=(const WireBytes& other)
{
    toDevice += other.toDevice;
    fromDevice += other.fromDevice;
    return *this;
}

WireBytes CommandBytes(PlannedCommand::Kind kind)
{
    switch (kind) {
    case PlannedCommand::Kind::Erase:
        return {kErasePacketLength, 2 * kReplyLength};
    case PlannedCommand::Kind::Program:
        return {kProgramPacketLength, 2 * kReplyLength};
    case PlannedCommand::Kind::EraseProgram:
        return {kProgramPacketLength, 4 * kReplyLength};
    }
    return {};
}

WireBytes HeaderBytes()
{
    return {kHeaderPacketLength, 3 * kReplyLength};
}

WireBytes DownloadPlan::Total() const
{
    WireBytes total = bootloaderStart;
    total += programming;
    return total;
}

std::vector<int16_t> DownloadPlan::ErasedBlocks() const
{
    std::vector<int16_t> blocks;
    for (const PlannedCommand& command : commands) {
        if (command.kind != PlannedCommand::Kind::Program)
            blocks.push_back(command.block);
    }
    return blocks;
}

DownloadPlan PlanDownload(const FirmwareImage& image, int32_t startAddr, int32_t endAddr)
{
    DownloadPlan plan;
    plan.firstStep = startAddr - startAddr % kStepSize;
    plan.endAddress = endAddr;
    plan.stepCount = endAddr < plan.firstStep ? 0 : (endAddr - plan.firstStep) / kStepSize + 1;
    plan.bootloaderStart = {static_cast<int64_t>(sizeof kStartBootloaderString - 1) +
                                static_cast<int64_t>(sizeof kPollString - 1),
                            kReplyLength};

    // Which blocks hold a step to program: those are erased right before their first one.
    std::array<bool, kFlashBlockCount + 1> holdsData{};
    for (int32_t address = plan.firstStep; address <= endAddr; address += kStepSize)
        holdsData[GetBlockNumber(address)] |= !BlankStep(image, address);

    std::array<bool, kFlashBlockCount + 1> erased{};
    for (int32_t address = plan.firstStep; address <= endAddr; address += kStepSize) {
        const int16_t block = GetBlockNumber(address);
        if (BlankStep(image, address)) {
            // A blank block inside the area the header makes the device check.
            if (erased[kHeaderBlock] && address >= kApplicationStart && !erased[block] &&
                !holdsData[block]) {
                plan.commands.push_back({PlannedCommand::Kind::Erase, block, address, true});
                erased[block] = true;
            }
            continue;
        }
        ++plan.programSteps;
        if (address == 0) {
            plan.commands.push_back({PlannedCommand::Kind::EraseProgram, block, address});
            erased[block] = true;
            continue;
        }
        if (!erased[block]) {
            plan.commands.push_back({PlannedCommand::Kind::Erase, block, address});
            erased[block] = true;
        }
        plan.commands.push_back({PlannedCommand::Kind::Program, block, address});
    }

    plan.header = erased[kHeaderBlock];
    for (const PlannedCommand& command : plan.commands)
        plan.programming += CommandBytes(command.kind);
    if (plan.header)
        plan.programming += HeaderBytes();
    return plan;
}
