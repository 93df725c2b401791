#pragma once

#include "Bootloader.h"
#include "DownloadPlan.h"
#include "DownloadTexts.h"
#include "DownloadView.h"
#include "Firmware.h"
#include "Host.h"
#include "LinkQuality.h"
#include "Outcome.h"
#include "RunResult.h"
#include "SerialPort.h"
#include "SerialTransport.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

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

    // Takes firmware loaded elsewhere (several devices flashed from one load) as if the load
    // stage had loaded it: the next run skips loading. Ignored while a run is in progress.
    void UseFirmware(std::shared_ptr<const Firmware> firmware);

    bool IsRunning() const { return m_running; }
    // True while the device is being programmed: from the first command to the verify.
    bool IsProgramming() const { return m_programming; }
    bool FileLoaded() const { return m_fileLoaded; }
    // The firmware of the run in progress, or of the last run.
    const std::shared_ptr<const Firmware>& RunFirmware() const { return m_firmware; }
    // How the last run ended, with the firmware it used; nothing before the first run.
    const std::optional<RunResult>& LastResult() const { return m_lastResult; }
    // How the line behaved in the run in progress, or in the last run: its replies' waits.
    LinkQuality LastLinkQuality() const { return LinkQualityOf(m_bootloader.Replies()); }

private:
    RunResult RunStages(const QString& fileName);
    std::optional<RunResult> LoadStage(const QString& fileName);
    std::optional<RunResult> BootloaderStage();
    RunResult ProgrammingStage();
    RunResult DownloadFirmware();
    CommandResult Send(const PlannedCommand& command);
    RunResult ProgramAndVerifyHeader();
    void StepDone();
    void EarlyEnd();
    void ClosingStep();
    RunResult EndWithLineLost();

    Host& m_host;
    DownloadView& m_view;
    SerialTransport m_transport;
    std::atomic<bool> m_cancel{false};
    Bootloader m_bootloader;

    bool m_running = false;
    bool m_programming = false;
    bool m_fileLoaded = false;
    std::shared_ptr<const Firmware> m_firmware; // the last load, also one that failed
    std::optional<RunResult> m_lastResult;
    // Counts file name changes, so that a load overtaken by one is not taken as loaded.
    uint32_t m_fileNameChanges = 0;
    int m_progressValue = 0;
    int m_progressMaximum = 0;
};
