#include "DownloadEngine.h"

#include "FirmwareFile.h"

namespace {
constexpr int16_t kNotStarted = 2; // StartBootloader: the bootloader did not start
}

DownloadEngine::DownloadEngine(SerialPort& port, Host& host, DownloadView& view)
    : m_host(host), m_view(view),
      m_transport(port, host, [this](const QString& text) { m_view.ShowStatus(text); }),
      m_bootloader(m_transport, m_bCancel)
{
}

bool DownloadEngine::CmdDownload_Click(const QString& fileName)
{
    if (m_bRunning)
        return false;
    // Cleared however the run ends, also when the window unwinds it as the program ends.
    struct RunningFlag
    {
        bool& running;
        explicit RunningFlag(bool& flag) : running(flag) { running = true; }
        ~RunningFlag() { running = false; }
    } runningFlag(m_bRunning);
    m_lastRunVerified = false;
    m_lastOutcome = Run(fileName);
    return true;
}

void DownloadEngine::CmdCancel_Click()
{
    m_bCancel = true;
}

void DownloadEngine::TxtFileName_Change()
{
    m_bFileLoaded = false;
    ++m_fileNameChanges;
    m_view.ShowFileState(kFileStateNotLoaded);
}

void DownloadEngine::UseLoadedImage(const FirmwareImage& image, int32_t startAddr, int32_t endAddr)
{
    if (m_bRunning)
        return;
    m_image = image;
    m_lStartAddr = startAddr;
    m_lEndAddr = endAddr;
    const ApplicationChecks checks = CalculateApplicationChecks(m_image, m_lEndAddr);
    m_iCrc = checks.crc;
    m_lChecksum = checks.checksum;
    m_bFileLoaded = true;
    m_view.ShowFileState(FileStateLoaded(m_iCrc));
}

RunOutcome DownloadEngine::Run(const QString& fileName)
{
    if (!m_bFileLoaded) {
        RunOutcome loadOutcome = RunOutcome::None;
        if (!LoadStage(fileName, loadOutcome))
            return loadOutcome;
    }
    const RunOutcome bootloaderOutcome = BootloaderStage();
    if (bootloaderOutcome != RunOutcome::None)
        return bootloaderOutcome;
    return ProgrammingStage();
}

// Returns false when the run ends early; outcome then says why.
bool DownloadEngine::LoadStage(const QString& fileName, RunOutcome& outcome)
{
    m_bCancel = false;
    m_view.SetCancelVisible(true);
    m_view.SetDownloadEnabled(false);
    m_view.ShowStatus(kStatusLoadingFile);

    const uint32_t nameChangesAtStart = m_fileNameChanges;
    switch (LoadFirmwareFile(fileName, m_image, m_lStartAddr, m_lEndAddr, m_host, m_bCancel)) {
    case FirmwareFileResult::Missing:
        Ask(FileMissingBox());
        outcome = RunOutcome::FileUnusable;
        EarlyEnd();
        return false;
    case FirmwareFileResult::Cancelled:
        outcome = RunOutcome::Cancelled;
        EarlyEnd();
        return false;
    case FirmwareFileResult::NotUsable:
        Ask(BadFileBox(fileName));
        outcome = RunOutcome::FileUnusable;
        EarlyEnd();
        return false;
    case FirmwareFileResult::Loaded:
        break;
    }

    // A name changed while the file was read no longer names this image: the run goes on with
    // what it loaded, but the next run loads the name the box shows.
    const bool nameUnchanged = nameChangesAtStart == m_fileNameChanges;
    m_bFileLoaded = nameUnchanged;
    m_view.ShowStatus(kStatusCalculatingCrc);
    const ApplicationChecks checks = CalculateApplicationChecks(m_image, m_lEndAddr);
    m_iCrc = checks.crc;
    m_lChecksum = checks.checksum;
    if (nameUnchanged)
        m_view.ShowFileState(FileStateLoaded(m_iCrc));
    return true;
}

// Returns RunOutcome::None when the bootloader is ready and programming may begin.
RunOutcome DownloadEngine::BootloaderStage()
{
    m_view.ShowStatus(kStatusStartingBootloader);
    m_bCancel = false;
    m_view.SetCancelVisible(true);
    m_view.SetDownloadEnabled(false);

    if (m_transport.LineLost())
        return EndWithLineLost();
    const int16_t started = m_bootloader.StartBootloader();
    if (m_bCancel) {
        m_view.ShowStatus(QString());
        ClosingStep();
        return RunOutcome::Cancelled;
    }
    if (m_transport.LineLost())
        return EndWithLineLost();
    if (started == kNotStarted) {
        m_view.ShowStatus(QString());
        Ask(BootloaderBox());
        m_view.SetCancelVisible(false);
        m_view.SetDownloadEnabled(true);
        return RunOutcome::BootloaderNotStarted;
    }
    return RunOutcome::None;
}

RunOutcome DownloadEngine::ProgrammingStage()
{
    const int32_t firstStep = m_lStartAddr - m_lStartAddr % kStepSize;
    m_progressValue = 0;
    m_progressMaximum = (m_lEndAddr - firstStep) / kStepSize + 1;
    m_view.SetProgressVisible(true);
    m_view.SetProgressValue(m_progressValue);
    m_view.SetProgressMaximum(m_progressMaximum);
    m_view.ShowPercent(QStringLiteral("0 %"));

    m_bDownloading = true;
    const int16_t result = DownloadFirmware(m_image, m_lStartAddr, m_lEndAddr);
    RunOutcome outcome = RunOutcome::Downloaded;
    if (result == kDownloadFailed) {
        m_view.ShowStatus(kStatusDownloadError);
        Ask(DownloadErrorBox());
        outcome = RunOutcome::DownloadFailed;
    } else if (result == kDownloadCancelled) {
        m_view.ShowStatus(kStatusDownloadCanceled);
        outcome = RunOutcome::Cancelled;
    } else {
        m_view.ShowStatus(DownloadedStatus(m_iCrc));
    }
    m_bDownloading = false;
    ClosingStep();
    return outcome;
}

void DownloadEngine::EarlyEnd()
{
    m_view.SetCancelVisible(false);
    m_view.SetDownloadEnabled(true);
    m_view.ShowStatus(QString());
}

void DownloadEngine::ClosingStep()
{
    m_view.SetProgressVisible(false);
    m_view.ShowPercent(QString());
    m_view.SetCancelVisible(false);
    m_view.SetDownloadEnabled(true);
    m_view.FocusDownload();
}

// The port went away (cable pulled, adapter unplugged) or was never open: the run ends as a
// failed download rather than polling a dead line.
RunOutcome DownloadEngine::EndWithLineLost()
{
    m_view.ShowStatus(kStatusDownloadError);
    Ask(DownloadErrorBox());
    ClosingStep();
    return RunOutcome::DownloadFailed;
}

int DownloadEngine::Ask(const MessageBoxText& box)
{
    return m_view.MessageBox(box.prompt, box.style, box.title);
}
