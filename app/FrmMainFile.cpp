#include "FrmMain.h"

#include "DroppedFile.h"
#include "FileDialogService.h"
#include "Files.h"

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString kBrowseTitle = QStringLiteral("Select an S-Record file to download");
const QString kBrowseFilter = QStringLiteral("S-Record Releases (*.mot)");
} // namespace

void FrmMain::CmdDownload_Click()
{
    if (!m_services.port.IsOpen() && !ReopenLostPort())
        return;
    // A click during a run is refused below; only a run that starts here is recorded.
    const bool starts = !m_engine.IsRunning();
    if (starts)
        m_record.Begin();
    try {
        // Refused (false) only while a run is in progress.
        if (!m_engine.Run(m_txtFileName->text()))
            QApplication::beep();
        else
            m_record.End(m_engine);
    } catch (const ProgramEnding&) {
        // The program is ending: the run stops here, and the event loop ends.
        if (starts)
            m_record.EndWithProgram(m_engine);
    }
}

void FrmMain::CmdBrowse_Click()
{
    const QString last = GetLastFilename();
    const OpenFileRequest request{kBrowseTitle, kBrowseFilter,
                                  QString::fromStdString(GetDirectory(last.toStdString())), last};
    const std::optional<QString> chosen = m_services.fileDialog.GetOpenFileName(this, request);
    if (!chosen || chosen->isEmpty())
        return;
    SaveLastFilename(*chosen);
    m_txtFileName->setText(*chosen);
    // Also when the same name was chosen again: the next Download reads the file anew.
    TxtFileName_Change();
}

void FrmMain::TxtFileName_Change()
{
    // The engine forgets its image and shows "File: Not Loaded".
    m_engine.FileNameChanged();
}

void FrmMain::TxtFileName_KeyPress(int keyAscii)
{
    if (keyAscii != '\r')
        return;
    // Enter does what a click of the Download button does, so not while the button is
    // disabled: during a run, or without an open port.
    if (!m_cmdDownload->isEnabled()) {
        QApplication::beep();
        return;
    }
    m_runClickTick.reset();
    CmdDownload_Click();
}

void FrmMain::CmdCancel_Click()
{
    // Cancel takes Download's place as the run starts, so the second click of a double-click
    // on Download lands on it: that click is not a request to cancel.
    if (m_runClickTick && static_cast<int32_t>(static_cast<uint32_t>(m_host.TickCount()) -
                                               static_cast<uint32_t>(*m_runClickTick)) <
                              QApplication::doubleClickInterval())
        return;
    m_engine.RequestCancel();
}

void FrmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (DroppedFirmwarePath(event->mimeData()))
        event->acceptProposedAction();
}

void FrmMain::dropEvent(QDropEvent* event)
{
    DropFirmwareFile(event);
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event)
{
    // A firmware file dropped on the file box is taken as the window takes it; any other
    // drop (text) is the box's own.
    if (watched != m_txtFileName)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!DroppedFirmwarePath(drag->mimeData()))
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop:
        return DropFirmwareFile(static_cast<QDropEvent*>(event));
    default:
        return false;
    }
}

bool FrmMain::DropFirmwareFile(QDropEvent* event)
{
    const std::optional<QString> path = DroppedFirmwarePath(event->mimeData());
    if (!path)
        return false;
    event->acceptProposedAction();
    // As if typed: the change handler runs, the setting stays, nothing is downloaded.
    m_txtFileName->setText(*path);
    return true;
}
