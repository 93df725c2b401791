#pragma once

#include "Bootloader.h"
#include "DownloadPlan.h"
#include "DownloadTexts.h"
#include "DownloadView.h"
#include "FailureReason.h"
#include "FirmwareImage.h"
#include "Host.h"
#include "SerialPort.h"
#include "SerialTransport.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <optional>

// How a run ended.
enum class DownloadOutcome
{
    Downloaded,           // verified by the device, or no header was due
    Failed,               // a command or the verify did not succeed, or the line was lost
    Cancelled,            // cancelled by the user (any stage)
    FileUnusable,         // missing, unreadable or not a usable S-record file
    BootloaderNotStarted, // the device never reported its bootloader ready
};

// A run's outcome with its reason (kind None for a download or a cancel).
struct RunResult
{
    DownloadOutcome outcome;
    bool verified = false; // the device reported the new application verified
    FailureReason reason;
};

// One whole download: load stage, bootloader stage, programming loop, header and verify.
// The window and the command line drive it and show it through their DownloadView. It never
// prints and knows no widgets.
//
// Exceptions: nothing here throws, and nothing is caught. What the host's ProcessEvents or the
// view's Ask throw (the window ends the program that way) passes through a run, which stops
// where it stands; the engine is then idle again: not running, not programming.
class DownloadEngine
{
public:
    DownloadEngine(SerialPort& port, Host& host, DownloadView& view);

    // One run with the file named fileName. Returns when the run has ended. A call while a
    // run is in progress (an Enter key dispatched during one of its waits) is refused: it
    // returns false at once and leaves the running one untouched; true when a run took place.
    [[nodiscard]] bool Run(const QString& fileName);

    // Asks the running download to stop: the load and the bootloader stage stop at once, the
    // programming loop asks the quit question after its step. May be called from any thread.
    void RequestCancel() { m_cancel = true; }

    // The file name changed (typed or chosen): the next run loads the file anew. A load that
    // is in progress still finishes its run but does not count as loaded.
    void FileNameChanged();

    // Takes an image loaded elsewhere (several devices flashed from one load) as if the
    // load stage had loaded it: CRC and checksum are computed, the next run skips loading.
    // Ignored while a run is in progress.
    void UseLoadedImage(const FirmwareImage& image, int32_t startAddr, int32_t endAddr);

    bool IsRunning() const { return m_running; }
    // True while the device is being programmed: from the first command to the verify.
    bool IsProgramming() const { return m_programming; }
    bool FileLoaded() const { return m_fileLoaded; }
    // The CRC of the loaded image's application area, as panel 2 shows it.
    int16_t Crc() const { return m_crc; }
    // The plan of a download of the loaded image.
    DownloadPlan Plan() const { return PlanDownload(m_image, m_startAddr, m_endAddr); }
    // How the last run ended; nothing before the first run.
    const std::optional<RunResult>& LastResult() const { return m_lastResult; }

private:
    RunResult RunStages(const QString& fileName);
    std::optional<RunResult> LoadStage(const QString& fileName);
    std::optional<RunResult> BootloaderStage();
    RunResult ProgrammingStage();
    RunResult DownloadFirmware();
    CommandResult Send(const PlannedCommand& command);
    RunResult ProgramAndVerifyHeader(int32_t endAddr);
    void StepDone();
    void EarlyEnd();
    void ClosingStep();
    RunResult EndWithLineLost();
    RunResult Failed(const FailureReason& reason);

    Host& m_host;
    DownloadView& m_view;
    SerialTransport m_transport;
    std::atomic<bool> m_cancel{false};
    Bootloader m_bootloader;

    bool m_running = false;
    bool m_programming = false;
    bool m_fileLoaded = false;
    int32_t m_startAddr = 0;
    int32_t m_endAddr = 0;
    int16_t m_crc = 0;
    int32_t m_checksum = 0;
    FirmwareImage m_image{};
    std::optional<RunResult> m_lastResult;
    // Counts file name changes, so that a load overtaken by one is not taken as loaded.
    uint32_t m_fileNameChanges = 0;
    int m_progressValue = 0;
    int m_progressMaximum = 0;
};
