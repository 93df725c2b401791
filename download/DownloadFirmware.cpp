#include "DownloadEngine.h"

#include "FlashBlockTable.h"
#include "ProgressPercent.h"

#include <algorithm>
#include <array>

namespace {
constexpr int16_t kHeaderBlock = 1; // the header is due only when this block was erased
}

int16_t DownloadEngine::DownloadFirmware(FirmwareImage& image, int32_t& startAddr, int32_t& endAddr)
{
    std::array<bool, kFlashBlockCount + 1> erased{};
    m_view.ShowStatus(kStatusGeneratingCrc);
    startAddr -= startAddr % kStepSize;
    m_view.ShowStatus(ProgrammingStatus(m_iCrc));

    const int32_t lastAddr = endAddr;
    std::array<uint8_t, kStepSize> step{};
    for (int32_t address = startAddr; address <= lastAddr; address += kStepSize) {
        std::copy_n(image.begin() + address, kStepSize, step.begin());
        const bool blank =
            std::all_of(step.begin(), step.end(), [](uint8_t b) { return b == 0xFF; });
        if (!blank) {
            const int16_t block = GetBlockNumber(address);
            if (address != 0) {
                if (!erased[block]) {
                    if (m_bootloader.EraseBlock(block) != 0)
                        return kDownloadFailed;
                    erased[block] = true;
                }
                if (m_bootloader.ProgramFlashBlock(step.data(), address) != 0)
                    return kDownloadFailed;
            } else {
                // The step at address 0 erases its block and programs in one command.
                if (m_bootloader.EraseProgramFlashBlock(block, step.data(), address) != 0)
                    return kDownloadFailed;
                erased[block] = true;
            }
        }
        StepDone();
        if (m_bCancel) {
            if (Ask(QuitQuestion()) == kAnswerYes)
                return kDownloadCancelled;
            m_bCancel = false;
        }
    }

    m_view.ShowStatus(kStatusProgrammingHeader);
    if (!erased[kHeaderBlock])
        return kDownloadOk;
    return ProgramAndVerifyHeader(lastAddr);
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
