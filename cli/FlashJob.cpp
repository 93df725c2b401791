#include "FlashJob.h"

#include "CountingSerialPort.h"
#include "DownloadEngine.h"
#include "DownloadTexts.h"
#include "EventLoopHost.h"
#include "FlashSignals.h"
#include "PortNaming.h"
#include "ProgressPercent.h"
#include "QtSerialPort.h"
#include "SerialErrorText.h"

#include <QElapsedTimer>

#include <memory>

namespace {

// What one port's download shows, passed on to the reporter. The command line asks nobody:
// message boxes are reported and answered OK, and the quit question, which only a stop
// signal brings up, is answered Yes.
class PortView : public DownloadView
{
public:
    PortView(const FlashJob& job) : m_job(job) {}

    void ShowStatus(const QString& text) override { m_job.reporter->Status(m_job.port, text); }
    void ShowFileState(const QString& text) override
    {
        m_job.reporter->FileState(m_job.port, text);
    }
    // Every step's value comes with its percentage; an empty text only clears the display.
    void ShowPercent(const QString& text) override
    {
        if (text.isEmpty())
            return;
        const int64_t elapsedMs = m_programming.isValid() ? m_programming.elapsed() : 0;
        m_job.reporter->Progress(m_job.port,
                                 {m_value, m_maximum, ProgressPercent(m_value, m_maximum),
                                  elapsedMs, m_job.timeLeft->RemainingMs(m_value, elapsedMs)});
    }
    void SetProgressVisible(bool visible) override
    {
        if (visible)
            m_programming.start();
    }
    void SetProgressMaximum(int maximum) override { m_maximum = maximum; }
    void SetProgressValue(int value) override { m_value = value; }
    int StepsDone() const { return m_value; }
    void SetCancelVisible(bool) override {}
    void SetDownloadEnabled(bool) override {}
    void FocusDownload() override {}
    Answer Ask(const MessageBoxText& message) override
    {
        if (message.kind == MessageKind::YesNo)
            return Answer::Yes;
        m_job.reporter->Message(m_job.port, message);
        return Answer::Ok;
    }

private:
    const FlashJob& m_job;
    QElapsedTimer m_programming; // runs from the start of programming
    int m_maximum = 0;
    int m_value = 0;
};

ExitCode ExitCodeOf(DownloadOutcome outcome)
{
    switch (outcome) {
    case DownloadOutcome::Downloaded:
        return ExitCode::Ok;
    case DownloadOutcome::Cancelled:
        return ExitCode::Cancelled;
    case DownloadOutcome::BootloaderNotStarted:
        return ExitCode::BootloaderNotStarted;
    case DownloadOutcome::FileUnusable:
        return ExitCode::FileNotUsable;
    case DownloadOutcome::Failed:
        break;
    }
    return ExitCode::DownloadFailed;
}

// What the user should know of a run: what was checked when it downloaded, else its reason.
QString DetailOf(const RunResult& result, const DownloadEngine& engine)
{
    if (result.outcome != DownloadOutcome::Downloaded)
        return ReasonText(result.reason);
    return (result.verified ? QStringLiteral("verified by the device, CRC %1h")
                            : QStringLiteral("no header was due, CRC %1h"))
        .arg(CrcText(engine.Crc()));
}

// Why a port could not be opened, in words a user can act on; a missing device also names
// the ports there are.
QString PortProblemText(const SerialPort& port)
{
    const QString text = SerialErrorText(port.Error());
    if (port.Error() == SerialError::NoSuchDevice) {
        QStringList names;
        int number = 1;
        for (const QSerialPortInfo& info : OrderedSystemPorts())
            names << QStringLiteral("%1 (COM%2)").arg(info.systemLocation()).arg(number++);
        return text + (names.isEmpty() ? QStringLiteral(" No serial ports are present.")
                                       : QStringLiteral(" Ports present: ") +
                                             names.join(QStringLiteral(", ")) + QLatin1Char('.'));
    }
    if (!text.isEmpty())
        return text;
    const QString reason = port.ErrorText();
    return reason.isEmpty() ? QStringLiteral("cannot be opened")
                            : QStringLiteral("cannot be opened: ") + reason;
}

} // namespace

FlashSummary RunFlashJob(const FlashJob& job)
{
    QElapsedTimer clock;
    clock.start();
    FlashSummary summary;
    summary.port = job.port;
    DownloadRecord row = job.record ? job.record->Begin(job.port) : DownloadRecord();

    QtSerialPort serial;
    serial.SetPortName(job.port);
    if (!serial.Open()) {
        summary.exitCode = ExitCode::PortUnavailable;
        summary.detail = PortProblemText(serial);
        if (serial.Error() == SerialError::NotASerialPort)
            summary.reason.kind = FailureKind::NotASerialPort;
    } else if (StopRequested()) {
        summary.exitCode = ExitCode::Cancelled;
    } else {
        CountingSerialPort counting(serial);
        std::unique_ptr<TracingSerialPort> tracing;
        SerialPort* port = &counting;
        if (job.trace) {
            tracing = std::make_unique<TracingSerialPort>(counting, *job.trace);
            port = tracing.get();
        }
        EventLoopHost eventLoop;
        PortView view(job);
        StoppableHost host(eventLoop);
        // On the heap: the engine holds a whole image.
        auto engine = std::make_unique<DownloadEngine>(*port, host, view);
        host.CancelOnStop([&engine = *engine] { engine.RequestCancel(); });
        engine->UseLoadedImage(*job.image, job.startAddr, job.endAddr);
        // A new engine is never running: the run takes place.
        (void)engine->Run(job.fileName);
        const RunResult result = *engine->LastResult();
        summary.exitCode = ExitCodeOf(result.outcome);
        summary.verified = result.verified;
        summary.reason = result.reason;
        summary.detail = DetailOf(result, *engine);
        summary.elapsedMs = clock.elapsed();
        port->Close();
        row.stepsDone = view.StepsDone();
        row.bytesSent = counting.BytesSent();
        row.bytesReceived = counting.BytesReceived();
    }
    job.reporter->Outcome(summary);
    if (job.record)
        job.record->Append(row, summary);
    return summary;
}

QString UnusableFileDetail(const QString& fileName, FirmwareFileResult result,
                           const LoadProblem& problem)
{
    if (result == FirmwareFileResult::Missing)
        return fileName + QStringLiteral(": no such file or not readable");
    const QString kind = QString::fromUtf8(LoadProblemText(problem.kind));
    return fileName + QStringLiteral(": ") +
           (problem.line > 0 ? QStringLiteral("line %1: %2").arg(problem.line).arg(kind) : kind);
}

LoadedFirmware LoadFirmwareForPorts(const QString& fileName, EventSink& reporter)
{
    reporter.Status(QString(), kStatusLoadingFile);
    EventLoopHost host;
    LoadedFirmware firmware;
    LoadProblem problem;
    firmware.result = LoadFirmwareFile(fileName, *firmware.image, firmware.startAddr,
                                       firmware.endAddr, host, StopRequested(), &problem);
    if (firmware.result == FirmwareFileResult::Missing)
        reporter.Message(QString(), FileMissingBox());
    else if (firmware.result == FirmwareFileResult::NotUsable)
        reporter.Message(QString(), BadFileBox(fileName));
    else
        return firmware;
    firmware.detail = UnusableFileDetail(fileName, firmware.result, problem);
    return firmware;
}
