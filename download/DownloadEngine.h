#pragma once

#include "Bootloader.h"
#include "DownloadPlan.h"
#include "DownloadTexts.h"
#include "DownloadView.h"
#include "FirmwareImage.h"
#include "Host.h"
#include "SerialPort.h"
#include "SerialTransport.h"

#include <QString>

#include <atomic>
#include <cstdint>

// How the last run ended, as the command line reports it in its exit code.
enum class RunOutcome
{
    None = -1,               // no run yet, or a run was refused
    Downloaded = 0,          // verified by the device, or no header was due
    DownloadFailed = 1,      // a command or the verify did not succeed, or the line was lost
    Cancelled = 2,           // cancelled by the user (any stage)
    FileUnusable = 3,        // missing, unreadable or not a usable S-record file
    BootloaderNotStarted = 5 // the device never reported its bootloader ready
};

// Result codes of DownloadFirmware.
constexpr int16_t kDownloadOk = 0;
constexpr int16_t kDownloadFailed = 1;
constexpr int16_t kDownloadCancelled = 2;

// One whole download: load stage, bootloader stage, programming loop, header and verify.
// The window and the command line drive it through CmdDownload_Click and show it through
// their DownloadView. It never prints and knows no widgets.
class DownloadEngine
{
public:
    DownloadEngine(SerialPort& port, Host& host, DownloadView& view);

    // One run with the file named fileName. Returns when the run has ended. A call while a
    // run is in progress (an Enter key dispatched during one of its waits) is refused: it
    // returns false at once and leaves the running one untouched; true when a run took place.
    bool CmdDownload_Click(const QString& fileName);
    void CmdCancel_Click();

    // The file name changed (typed or chosen): the next run loads the file anew. A load that
    // is in progress still finishes its run but does not count as loaded.
    void TxtFileName_Change();

    // Takes an image loaded elsewhere (several devices flashed from one load) as if the
    // load stage had loaded it: CRC and checksum are computed, the next run skips loading.
    // Ignored while a run is in progress.
    void UseLoadedImage(const FirmwareImage& image, int32_t startAddr, int32_t endAddr);

    // Erases and programs the device from startAddr (rounded down to a step boundary and
    // stored back) to endAddr, then programs and verifies the header when block 1 was erased.
    // Returns kDownloadOk, kDownloadFailed or kDownloadCancelled.
    int16_t DownloadFirmware(FirmwareImage& image, int32_t& startAddr, int32_t& endAddr);

    bool IsRunning() const { return m_bRunning; }
    RunOutcome LastOutcome() const { return m_lastOutcome; }
    // True when the last run ended with the device reporting the new application verified.
    bool LastRunVerified() const { return m_lastRunVerified; }
    SerialTransport& Transport() { return m_transport; }

    // State shared with the window, named as the window knows it.
    std::atomic<bool> m_bCancel{false};
    bool m_bFileLoaded = false;
    bool m_bDownloading = false;
    int32_t m_lStartAddr = 0;
    int32_t m_lEndAddr = 0;
    int16_t m_iCrc = 0;
    int32_t m_lChecksum = 0;
    FirmwareImage m_image{};

private:
    RunOutcome Run(const QString& fileName);
    bool LoadStage(const QString& fileName, RunOutcome& outcome);
    RunOutcome BootloaderStage();
    RunOutcome ProgrammingStage();
    int16_t Send(const PlannedCommand& command, const FirmwareImage& image);
    int16_t ProgramAndVerifyHeader(int32_t endAddr);
    void StepDone();
    void EarlyEnd();
    void ClosingStep();
    RunOutcome EndWithLineLost();
    int Ask(const MessageBoxText& box);

    Host& m_host;
    DownloadView& m_view;
    SerialTransport m_transport;
    Bootloader m_bootloader;
    bool m_bRunning = false;
    bool m_lastRunVerified = false;
    RunOutcome m_lastOutcome = RunOutcome::None;
    // Counts file name changes, so that a load overtaken by one is not taken as loaded.
    uint32_t m_fileNameChanges = 0;
    int m_progressValue = 0;
    int m_progressMaximum = 0;
};
