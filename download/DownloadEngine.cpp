#include "DownloadEngine.h"

#include "ScopedFlag.h"

DownloadEngine::DownloadEngine(SerialPort& port, Host& host, DownloadView& view)
    : m_host(host), m_view(view),
      m_transport(port, host, [this](const QString& text) { m_view.ShowStatus(text); }),
      m_bootloader(m_transport, m_cancel)
{
}

bool DownloadEngine::Run(const QString& fileName)
{
    if (m_running)
        return false;
    const ScopedFlag running(m_running);
    m_lastResult.reset();
    m_bootloader.Replies().Clear();
    RunResult result = RunStages(fileName);
    result.firmware = m_firmware;
    m_lastResult = std::move(result);
    return true;
}

void DownloadEngine::FileNameChanged()
{
    m_fileLoaded = false;
    ++m_fileNameChanges;
    m_view.ShowFileState(kFileStateNotLoaded);
}

void DownloadEngine::UseFirmware(std::shared_ptr<const Firmware> firmware)
{
    if (m_running)
        return;
    m_firmware = std::move(firmware);
    m_fileLoaded = true;
    m_view.ShowFileState(FileStateLoaded(m_firmware->crc));
}

RunResult DownloadEngine::RunStages(const QString& fileName)
{
    if (!m_fileLoaded) {
        if (std::optional<RunResult> ended = LoadStage(fileName))
            return *ended;
    }
    if (std::optional<RunResult> ended = BootloaderStage())
        return *ended;
    return ProgrammingStage();
}

// Returns the result when the run ends early; nothing when the file is loaded.
std::optional<RunResult> DownloadEngine::LoadStage(const QString& fileName)
{
    m_cancel = false;
    m_view.SetCancelVisible(true);
    m_view.SetDownloadEnabled(false);
    m_view.ShowStatus(kStatusLoadingFile);

    const uint32_t nameChangesAtStart = m_fileNameChanges;
    m_firmware = LoadFirmware(fileName, m_host, m_cancel);
    std::optional<RunResult> ended;
    switch (m_firmware->state) {
    case Firmware::State::Missing:
        (void)m_view.Ask(FileMissingBox());
        ended = RunResult::Failure(m_firmware->Failure());
        break;
    case Firmware::State::Cancelled:
        ended = RunResult{Outcome::Cancelled, false, {}, nullptr};
        break;
    case Firmware::State::NotUsable:
        (void)m_view.Ask(BadFileBox(fileName));
        ended = RunResult::Failure(m_firmware->Failure());
        break;
    case Firmware::State::Loaded:
        break;
    }
    if (ended) {
        EarlyEnd();
        return ended;
    }

    // A name changed while the file was read no longer names this image: the run goes on with
    // what it loaded, but the next run loads the name the box shows.
    const bool nameUnchanged = nameChangesAtStart == m_fileNameChanges;
    m_fileLoaded = nameUnchanged;
    m_view.ShowStatus(kStatusCalculatingCrc);
    if (nameUnchanged)
        m_view.ShowFileState(FileStateLoaded(m_firmware->crc));
    return std::nullopt;
}

// Returns the result when the run ends here; nothing when programming may begin.
std::optional<RunResult> DownloadEngine::BootloaderStage()
{
    m_view.ShowStatus(kStatusStartingBootloader);
    m_cancel = false;
    m_view.SetCancelVisible(true);
    m_view.SetDownloadEnabled(false);

    if (m_transport.LineLost())
        return EndWithLineLost();
    const BootloaderStart started = m_bootloader.StartBootloader();
    if (m_cancel) {
        m_view.ShowStatus(QString());
        ClosingStep();
        return RunResult{Outcome::Cancelled, false, {}, nullptr};
    }
    if (m_transport.LineLost())
        return EndWithLineLost();
    if (started != BootloaderStart::Ready) {
        FailureReason reason;
        reason.kind = FailureKind::BootloaderNotStarted;
        reason.polls = kMaxPolls;
        m_view.ShowStatus(QString());
        (void)m_view.Ask(BootloaderBox(ReasonText(reason)));
        m_view.SetCancelVisible(false);
        m_view.SetDownloadEnabled(true);
        return RunResult::Failure(reason);
    }
    return std::nullopt;
}

RunResult DownloadEngine::ProgrammingStage()
{
    m_progressValue = 0;
    m_progressMaximum = m_firmware->plan.stepCount;
    m_view.SetProgressVisible(true);
    m_view.SetProgressValue(m_progressValue);
    m_view.SetProgressMaximum(m_progressMaximum);
    m_view.ShowPercent(QStringLiteral("0 %"));

    RunResult result;
    {
        const ScopedFlag programming(m_programming);
        result = DownloadFirmware();
        switch (result.outcome) {
        case Outcome::Failed:
            m_view.ShowStatus(kStatusDownloadError);
            (void)m_view.Ask(DownloadErrorBox(ReasonText(result.reason)));
            break;
        case Outcome::Cancelled:
            m_view.ShowStatus(kStatusDownloadCanceled);
            break;
        default:
            m_view.ShowStatus(DownloadedStatus(m_firmware->crc));
            break;
        }
    }
    ClosingStep();
    return result;
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
RunResult DownloadEngine::EndWithLineLost()
{
    FailureReason reason;
    reason.kind = FailureKind::LineLost;
    m_view.ShowStatus(kStatusDownloadError);
    (void)m_view.Ask(DownloadErrorBox(ReasonText(reason)));
    ClosingStep();
    return RunResult::Failure(reason);
}
