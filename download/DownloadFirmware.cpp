#include "DownloadEngine.h"

#include "DownloadPlan.h"
#include "ProgressPercent.h"

#include <array>

int16_t DownloadEngine::DownloadFirmware(FirmwareImage& image, int32_t& startAddr, int32_t& endAddr)
{
    m_view.ShowStatus(kStatusGeneratingCrc);
    startAddr -= startAddr % kStepSize;
    m_view.ShowStatus(ProgrammingStatus(m_iCrc));

    const DownloadPlan plan = PlanDownload(image, startAddr, endAddr);
    auto next = plan.commands.begin();
    for (int32_t address = plan.firstStep; address <= plan.endAddress; address += kStepSize) {
        for (; next != plan.commands.end() && next->address == address; ++next) {
            if (Send(*next, image) != 0)
                return kDownloadFailed;
        }
        StepDone();
        if (m_bCancel) {
            if (Ask(QuitQuestion()) == kAnswerYes)
                return kDownloadCancelled;
            m_bCancel = false;
        }
    }

    m_view.ShowStatus(kStatusProgrammingHeader);
    if (!plan.header)
        return kDownloadOk;
    return ProgramAndVerifyHeader(plan.endAddress);
}

int16_t DownloadEngine::Send(const PlannedCommand& command, const FirmwareImage& image)
{
    const uint8_t* step = image.data() + command.address;
    switch (command.kind) {
    case PlannedCommand::Kind::Erase:
        return m_bootloader.EraseBlock(command.block);
    case PlannedCommand::Kind::Program:
        return m_bootloader.ProgramFlashBlock(step, command.address);
    case PlannedCommand::Kind::EraseProgram:
        return m_bootloader.EraseProgramFlashBlock(command.block, step, command.address);
    }
    return 1;
}

void DownloadEngine::StepDone()
{
    ++m_progressValue;
    m_view.SetProgressValue(m_progressValue);
    m_view.ShowPercent(ProgressPercentText(m_progressValue, m_progressMaximum));
}

// Programs the header and waits for the device to report the new application verified and
// started; only byte 1 of that report is judged.
int16_t DownloadEngine::ProgramAndVerifyHeader(int32_t endAddr)
{
    if (m_bootloader.ProgramAppHeader(endAddr, m_iCrc, m_lChecksum) != 0)
        return kDownloadFailed;
    m_view.ShowStatus(kStatusVerifying);
    std::array<uint8_t, 2> response{};
    if (!m_transport.SerialGetResponseBytes(kVerifyTimeoutMs, 2, response.data()))
        return kDownloadFailed;
    if (response[1] != kReplyApplicationVerified)
        return kDownloadFailed;
    m_lastRunVerified = true;
    return kDownloadOk;
}
