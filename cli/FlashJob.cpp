#include "FlashJob.h"

#include "Commands.h"
#include "DownloadEngine.h"
#include "DownloadTexts.h"
#include "EventLoopHost.h"
#include "FlashConsoleView.h"
#include "FlashInterrupt.h"
#include "FlashPortProblem.h"
#include "QtSerialPort.h"

#include <QElapsedTimer>

#include <memory>

namespace {

FlashSummary Summarise(const QString& port, const DownloadEngine& engine,
                       const FlashConsoleView& view, const SerialPort& serial)
{
    FlashSummary summary;
    summary.port = port;
    switch (engine.LastOutcome()) {
    case RunOutcome::Downloaded:
        summary.exitCode = kExitOk;
        summary.outcome = QStringLiteral("downloaded");
        summary.verified = engine.LastRunVerified();
        summary.detail = (summary.verified ? QStringLiteral("verified by the device, CRC %1h")
                                           : QStringLiteral("no header was due, CRC %1h"))
                             .arg(CrcText(engine.m_iCrc));
        break;
    case RunOutcome::Cancelled:
        summary.exitCode = kExitCancelled;
        summary.outcome = QStringLiteral("cancelled");
        break;
    case RunOutcome::BootloaderNotStarted:
        summary.exitCode = kExitBootloaderNotStarted;
        summary.outcome = QStringLiteral("bootloader-not-started");
        summary.detail = QStringLiteral("the device did not answer the bootloader polls");
        break;
    case RunOutcome::FileUnusable:
        summary.exitCode = kExitFileNotUsable;
        summary.outcome = QStringLiteral("file-unusable");
        summary.detail = view.LastMessage();
        break;
    case RunOutcome::DownloadFailed:
    case RunOutcome::None:
        summary.exitCode = kExitDownloadFailed;
        summary.outcome = QStringLiteral("failed");
        summary.detail = serial.Error() == SerialError::LineLost || !serial.IsOpen()
                             ? QStringLiteral("the line was lost: ") + serial.ErrorText()
                             : view.LastMessage();
        break;
    }
    return summary;
}

} // namespace

FlashSummary RunFlashJob(const FlashJob& job)
{
    QElapsedTimer clock;
    clock.start();
    FlashSummary summary;
    summary.port = job.port;

    QtSerialPort serial;
    serial.SetPortName(job.port);
    if (!serial.Open()) {
        summary.exitCode = kExitPortUnavailable;
        summary.outcome = QStringLiteral("port-unavailable");
        summary.detail = PortProblemText(serial);
    } else if (Interrupted()) {
        summary.exitCode = kExitCancelled;
        summary.outcome = QStringLiteral("cancelled");
    } else {
        std::unique_ptr<TracingSerialPort> tracing;
        SerialPort* port = &serial;
        if (job.trace) {
            tracing = std::make_unique<TracingSerialPort>(serial, *job.trace);
            port = tracing.get();
        }
        EventLoopHost eventLoop;
        FlashConsoleView view(*job.reporter, job.port);
        InterruptibleHost host(eventLoop);
        // On the heap: the engine holds a whole image.
        auto engine = std::make_unique<DownloadEngine>(*port, host, view);
        host.RaiseOnInterrupt(engine->m_bCancel);
        engine->UseLoadedImage(*job.image, job.startAddr, job.endAddr);
        engine->CmdDownload_Click(job.fileName);
        summary = Summarise(job.port, *engine, view, serial);
        summary.elapsedMs = clock.elapsed();
        port->Close();
    }
    job.reporter->Outcome(summary);
    return summary;
}
