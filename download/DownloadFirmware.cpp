#include "DownloadEngine.h"

#include "ProgressPercent.h"

// Erases and programs the device from the start (rounded down to a step boundary and kept so)
// to the end, as the plan of the image says, then programs and verifies the header when
// block 1 was erased.
RunResult DownloadEngine::DownloadFirmware()
{
    m_view.ShowStatus(kStatusGeneratingCrc);
    m_view.ShowStatus(ProgrammingStatus(m_firmware->crc));

    const DownloadPlan& plan = m_firmware->plan;
    auto next = plan.commands.begin();
    for (int32_t address = plan.firstStep; address <= plan.endAddress; address += kStepSize) {
        for (; next != plan.commands.end() && next->address == address; ++next) {
            const CommandResult sent = Send(*next);
            if (!sent.Succeeded())
                return RunResult::Failure(sent.failure);
        }
        StepDone();
        if (m_cancel) {
            if (m_view.Ask(QuitQuestion()) == Answer::Yes)
                return {Outcome::Cancelled, false, {}, nullptr};
            m_cancel = false;
        }
    }

    m_view.ShowStatus(kStatusProgrammingHeader);
    if (!plan.header)
        return {};
    return ProgramAndVerifyHeader();
}

CommandResult DownloadEngine::Send(const PlannedCommand& command)
{
    const uint8_t* step = m_firmware->image->data() + command.address;
    switch (command.kind) {
    case PlannedCommand::Kind::Erase:
        return m_bootloader.EraseBlock(command.block);
    case PlannedCommand::Kind::Program:
        return m_bootloader.ProgramFlashBlock(step, command.address);
    case PlannedCommand::Kind::EraseProgram:
        return m_bootloader.EraseProgramFlashBlock(command.block, step, command.address);
    }
    return {};
}

void DownloadEngine::StepDone()
{
    ++m_progressValue;
    m_view.SetProgressValue(m_progressValue);
    m_view.ShowPercent(ProgressPercentText(m_progressValue, m_progressMaximum));
}

// Programs the header and waits for the device to report the new application verified and
// started.
RunResult DownloadEngine::ProgramAndVerifyHeader()
{
    const CommandResult header = m_bootloader.ProgramAppHeader(
        m_firmware->plan.endAddress, m_firmware->crc, m_firmware->checksum);
    if (!header.Succeeded())
        return RunResult::Failure(header.failure);
    m_view.ShowStatus(kStatusVerifying);
    const CommandResult verify = m_bootloader.AwaitVerify();
    if (!verify.Succeeded())
        return RunResult::Failure(verify.failure);
    return {Outcome::Downloaded, true, {}, nullptr};
}
