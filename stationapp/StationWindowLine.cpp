// Arming and stopping the line, and closing the window while it runs.
#include "StationWindow.h"

#include "BoardEvents.h"
#include "MessageBoxService.h"
#include "SetupPanel.h"
#include "StationSetup.h"
#include "StationTitle.h"
#include "TileBoard.h"
#include "VisibleText.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>

void StationWindow::Start()
{
    if (m_armed || !m_setup->Ready())
        return;
    SaveSetup();
    // Loaded once for every port, and again only when the file has changed since.
    std::shared_ptr<const Firmware> firmware = m_setup->CurrentFirmware();
    if (!m_setup->Ready())
        return; // changed into a file that does not load: the panel says why
    RetireLine(0);

    m_stopRequested = false;
    m_board->Clear();
    m_figures.Start(m_clock.elapsed());
    RefreshFigures();
    m_warningText->clear();
    const ArmedLine::Parts parts{m_setup->Setup(),
                                 std::move(firmware),
                                 *m_setup->Record(),
                                 m_services.makePort,
                                 &m_stopRequested,
                                 [this](const QString& warning) {
                                     std::fprintf(stderr, "norvane-station: warning: %s\n",
                                                  qPrintable(VisibleText(warning)));
                                     QMetaObject::invokeMethod(
                                         this, [this, warning] { ShowWarning(warning); },
                                         Qt::QueuedConnection);
                                 }};
    m_line = std::make_unique<ArmedLine>(parts, *m_events);
    // Queued, so that the station's last events are shown first.
    connect(&m_line->GetStation(), &Station::Finished, this, &StationWindow::LineFinished,
            Qt::QueuedConnection);
    m_armed = true;
    m_tick.start();
    UpdateControls();
    m_stop->setFocus(); // Start is disabled now
    m_line->Start();
}

int StationWindow::RunningDownloads() const
{
    return m_events->Running();
}

void StationWindow::Stop()
{
    if (!m_armed || m_stopRequested)
        return;
    m_stopRequested = true;
    m_statusText->setText(QStringLiteral("Stopping: each download ends at its next step"));
    UpdateControls();
    m_line->Stop();
}

void StationWindow::StartOrStop()
{
    if (m_armed)
        Stop();
    else
        Start();
}

void StationWindow::LineFinished()
{
    m_armed = false;
    m_tick.stop();
    RefreshFigures();
    UpdateControls();
    if (m_start->isEnabled())
        m_start->setFocus(); // Stop is disabled now
    if (m_closeWhenStopped)
        close();
}

void StationWindow::ShowStopped(const StationCounts& counts)
{
    if (counts.cancelled == 0)
        m_statusText->setText(QStringLiteral("Stopped: no download was running"));
    else if (counts.cancelled == 1)
        m_statusText->setText(QStringLiteral("Stopped: 1 download was stopped"));
    else
        m_statusText->setText(
            QStringLiteral("Stopped: %1 downloads were stopped").arg(counts.cancelled));
}

void StationWindow::ShowWatching(const QString& folder, bool folderExists)
{
    const QString shown = VisibleText(folder);
    m_statusText->setText(
        folderExists
            ? QStringLiteral("Armed: watching %1 for devices").arg(shown)
            : QStringLiteral("Armed: %1 is not there yet; watched until it appears").arg(shown));
}

void StationWindow::ShowWarning(const QString& warning)
{
    // The line goes on; the latest warning stays until the next Start.
    m_warningText->setText(VisibleText(warning));
}

void StationWindow::SaveSetup()
{
    WriteStationSetup(m_services.settings, m_setup->Setup());
}

bool StationWindow::RetireLine(int deliverMs)
{
    if (!m_line)
        return true;
    TryRecord& record = m_line->Record();
    record.WarnLeft(deliverMs > 0 ? record.Deliver(deliverMs) : record.Waiting());
    if (!record.QuitSender(TryRecord::kSenderEndMs)) {
        // The sender is inside a call to the server, which returns at the server's time-outs
        // at the latest; its thread cannot be joined before, so the line is let go, not
        // destroyed under it.
        (void)m_line.release();
        return false;
    }
    m_line.reset();
    return true;
}

void StationWindow::closeEvent(QCloseEvent* event)
{
    if (m_armed) {
        event->ignore();
        if (RunningDownloads() > 0 && !m_closeWhenStopped) {
            const QString text =
                RunningDownloads() == 1
                    ? QStringLiteral("1 download is running.")
                    : QStringLiteral("%1 downloads are running.").arg(RunningDownloads());
            if (m_services.messages.Show(
                    text +
                        QStringLiteral("\n\nStop and close the window? A device whose download is "
                                       "stopped needs a new download."),
                    kStyleYesNoWarning, kStationTitle) != kAnswerYes)
                return;
        }
        // Closes once the station has finished: a stop is honoured at the next step.
        m_closeWhenStopped = true;
        Stop();
        return;
    }
    SaveSetup();
    if (!RetireLine(TryRecord::kDeliverAtEndMs)) {
        // Qt's globals must not be destroyed under the sender: the settings are written, so
        // the program ends here.
        std::fflush(nullptr);
        std::_Exit(0);
    }
    event->accept();
}
