#include "PortRun.h"

#include "CountingSerialPort.h"
#include "DownloadEngine.h"
#include "PortNaming.h"
#include "ProgressPercent.h"
#include "ProgressReports.h"
#include "QuietLine.h"
#include "TimeLeft.h"
#include "TracingSerialPort.h"

namespace {

// Passes a pending stop on as a cancel each time it has let events run, so that a cancel
// cleared at the start of a stage is raised again at the next wait.
class StoppableHost : public Host
{
public:
    StoppableHost(Host& host, const std::atomic<bool>& stop) : m_host(host), m_stop(stop) {}

    void CancelOnStop(DownloadEngine* engine) { m_engine = engine; }

    int32_t TickCount() override { return m_host.TickCount(); }
    void ProcessEvents(int32_t maxWaitMs) override
    {
        m_host.ProcessEvents(maxWaitMs);
        if (m_engine && m_stop)
            m_engine->RequestCancel();
    }

private:
    Host& m_host;
    const std::atomic<bool>& m_stop;
    DownloadEngine* m_engine = nullptr;
};

// What one port's download shows, passed on as events. An empty status only clears the
// window's status bar and is not passed on. The quit question, which only a stop brings up, is
// answered Yes; every other box is reported and answered OK.
class PortView : public DownloadView
{
public:
    PortView(const QString& port, RunEvents& events, Host& host, const TimeLeft& timeLeft,
             const ProgressReports& reports)
        : m_port(port), m_events(events), m_host(host), m_timeLeft(timeLeft), m_reports(reports)
    {
    }

    void ShowStatus(const QString& text) override
    {
        if (text.isEmpty())
            return;
        m_events.Status(m_port, text);
        // The first progress follows the status that opens programming.
        if (m_progressDue) {
            m_progressDue = false;
            ReportProgress();
        }
    }
    void ShowFileState(const QString& text) override { m_events.FileState(m_port, text); }
    // Every step's value comes with its percentage; an empty text only clears the display.
    void ShowPercent(const QString& text) override
    {
        if (text.isEmpty())
            return;
        if (m_value == 0)
            m_progressDue = true;
        else if (m_reports.Due(m_value))
            ReportProgress();
    }
    void SetProgressVisible(bool visible) override
    {
        if (visible)
            m_programmingSince = m_host.TickCount();
    }
    void SetProgressMaximum(int maximum) override { m_maximum = maximum; }
    void SetProgressValue(int value) override { m_value = value; }
    void SetCancelVisible(bool) override {}
    void SetDownloadEnabled(bool) override {}
    void FocusDownload() override {}
    Answer Ask(const MessageBoxText& message) override
    {
        if (message.kind == MessageKind::YesNo)
            return Answer::Yes;
        m_events.Message(m_port, message);
        return Answer::Ok;
    }

    int StepsDone() const { return m_value; }

private:
    void ReportProgress()
    {
        const int64_t elapsedMs = TicksBetween(m_programmingSince, m_host.TickCount());
        m_events.Progress(m_port, {m_value, m_maximum, ProgressPercent(m_value, m_maximum),
                                   elapsedMs, m_timeLeft.RemainingMs(m_value, elapsedMs)});
    }

    const QString& m_port;
    RunEvents& m_events;
    Host& m_host;
    const TimeLeft& m_timeLeft;
    const ProgressReports& m_reports;
    int32_t m_programmingSince = 0;
    int m_maximum = 0;
    int m_value = 0;
    bool m_progressDue = false;
};

// A missing device also names the ports there are.
QString PortsPresentText()
{
    QStringList names;
    int number = 1;
    for (const QSerialPortInfo& info : OrderedSystemPorts())
        names << QStringLiteral("%1 (COM%2)").arg(info.systemLocation()).arg(number++);
    return names.isEmpty() ? QStringLiteral(" No serial ports are present.")
                           : QStringLiteral(" Ports present: ") + names.join(QStringLiteral(", ")) +
                                 QLatin1Char('.');
}

} // namespace

TryResult PortRun::Run() const
{
    TryResult result = Try(1);
    for (int retry = 1; retry <= retries && WorthRetrying(result.run.reason.kind); ++retry) {
        if (*stop || !keepTrying())
            break;
        events->Status(port, QStringLiteral("Trying again from the beginning (try %1 of %2)")
                                 .arg(retry + 1)
                                 .arg(retries + 1));
        TryResult next = Try(retry + 1);
        // A try that could not open the port never reached the device: the device is as the
        // try before left it, and that try's outcome stands (its row and the new one are kept).
        if (next.run.outcome == Outcome::PortUnavailable)
            break;
        result = std::move(next);
    }
    return result;
}

TryResult PortRun::Try(int tryNumber) const
{
    const TryEnd tryEnded = beginTry(port);
    const int32_t startTick = host->TickCount();
    TryResult result;
    result.port = port;
    result.tryNumber = tryNumber;
    result.run.firmware = firmware;

    const std::unique_ptr<SerialPort> serial = makePort();
    serial->SetPortName(device.isEmpty() ? port : device);
    if (!heldThrough.isEmpty()) {
        result.run = RunResult::Failure({FailureKind::PortBusy});
        result.run.firmware = firmware;
        result.detail =
            QStringLiteral("The device is already being downloaded by this station through %1.")
                .arg(heldThrough);
    } else if (!serial->Open()) {
        result.run = RunResult::Failure(PortFailure(serial->Error()));
        result.run.firmware = firmware;
        result.detail = result.run.Detail();
        if (result.run.reason.kind == FailureKind::NoDevice)
            result.detail += PortsPresentText();
        else if (result.run.reason.kind == FailureKind::PortUnusable &&
                 !serial->ErrorText().isEmpty())
            result.detail += QStringLiteral(": ") + serial->ErrorText();
    } else if (*stop || (tryNumber > 1 && !WaitForQuietLine(*serial, *host, *stop))) {
        // Stopped before a byte was sent. A try again first waits until the device has done
        // with the try before.
        serial->Close();
        result.run.outcome = Outcome::Cancelled;
    } else {
        CountingSerialPort counting(*serial);
        std::unique_ptr<TracingSerialPort> tracing;
        SerialPort* line = &counting;
        if (trace) {
            tracing = std::make_unique<TracingSerialPort>(counting, *trace);
            line = tracing.get();
        }
        const TimeLeft timeLeft(firmware->plan);
        const ProgressReports reports(firmware->plan);
        PortView view(port, *events, *host, timeLeft, reports);
        StoppableHost stoppable(*host, *stop);
        DownloadEngine engine(*line, stoppable, view);
        stoppable.CancelOnStop(&engine);
        engine.UseFirmware(firmware);
        // A new engine is never running: the run takes place.
        (void)engine.Run(firmware->fileName);
        line->Close();
        result.run = *engine.LastResult();
        result.detail = result.run.Detail();
        result.stepsDone = view.StepsDone();
        result.bytes = {counting.BytesSent(), counting.BytesReceived()};
        result.link = engine.LastLinkQuality();
    }
    result.elapsedMs = TicksBetween(startTick, host->TickCount());
    tryEnded(result);
    return result;
}
