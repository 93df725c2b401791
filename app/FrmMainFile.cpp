#include "FrmMain.h"

#include "FileDialogService.h"
#include "Misc.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString kBrowseTitle = QStringLiteral("Select an S-Record file to download");
const QString kBrowseFilter = QStringLiteral("S-Record Releases (*.mot)");
} // namespace

void FrmMain::CmdDownload_Click()
{
    try {
        // Refused (false) only while a run is in progress.
        if (!m_engine.CmdDownload_Click(m_txtFileName->text()))
            QApplication::beep();
    } catch (const ProgramEnding&) {
        // The program is ending: the run stops here, and the event loop ends.
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
    m_engine.TxtFileName_Change();
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
    CmdDownload_Click();
}
