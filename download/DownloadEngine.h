#pragma once

#include "Bootloader.h"
#include "DownloadView.h"
#include "FirmwareImage.h"
#include "Host.h"
#include "SerialPort.h"
#include "SerialTransport.h"

#include <QString>

#include <atomic>
#include <cstdint>

// How the last run ended, as the command line reports it in its exit code.
enum class RunOutcome {
    None = -1,               // no run yet, or a run was refused
    Downloaded = 0,          // verified by the device, or no header was due
    DownloadFailed = 1,      // a command or the verify did not succeed
    Cancelled = 2,           // cancelled by the user (any stage)
    FileUnusable = 3,        // missing, unreadable or not a usable S-record file
    BootloaderNotStarted = 5 // the device never reported its bootloader ready
};

// One whole download: load stage, bootloader stage, programming loop, header and verify.
// The window and the command line drive it through CmdDownload_Click and show it through
// their DownloadView.
class DownloadEngine
{
public:
    DownloadEngine(SerialPort& port, Host& host, DownloadView& view);

    // One run with the file named fileName. Returns when the run has ended. A call while a
    // run is in progress is refused and returns false at once; true when a run took place.
    bool CmdDownload_Click(const QString& fileName);
    void CmdCancel_Click();

    // The file name changed (typed or chosen): the next run loads the file anew.
    void TxtFileName_Change();

    // Takes an image loaded elsewhere (several devices flashed from one load) as if the
    // load stage had loaded it: CRC and checksum are computed, the next run skips loading.
    void UseLoadedImage(const FirmwareImage& image, int32_t startAddr, int32_t endAddr);

    int16_t DownloadFirmware(FirmwareImage& image, int32_t& startAddr, int32_t& endAddr);

    bool IsRunning() const { return m_bRunning; }
    RunOutcome LastOutcome() const { return m_lastOutcome; }
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
    SerialPort& m_port;
    Host& m_host;
    DownloadView& m_view;
    SerialTransport m_transport;
    Bootloader m_bootloader;
    bool m_bRunning = false;
    RunOutcome m_lastOutcome = RunOutcome::None;
};
