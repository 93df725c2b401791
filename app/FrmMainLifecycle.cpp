#include "FrmMain.h"

#include "AppSettings.h"
#include "DownloadTexts.h"
#include "HelpLocation.h"
#include "MessageBoxService.h"
#include "PortFailureText.h"
#include "PortNaming.h"
#include "SerialPort.h"
#include "StatusPanel.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kCouldNotOpen = QStringLiteral("Could not open COM ");
const QString kNoComms = QStringLiteral("No Comms");
const QString kPortBusyWithDownload =
    QStringLiteral("The COM port cannot be changed while firmware is being downloaded.");
const QString kStoredPortUnusable =
    QStringLiteral("The stored port number is not one of COM1 to COM12. Choose a port.");

QString ComName(int16_t port)
{
    return QStringLiteral("COM") + QString::number(port);
}

} // namespace

void FrmMain::Form_Load()
{
    m_txtFileName->setText(GetLastFilename());

    const int16_t port = ComSelect::GetComPort();
    bool opened = false;
    if (port != kNoComPort) {
        m_services.port.SetPortName(ComName(port));
        opened = m_services.port.Open();
    }
    if (opened)
        m_panels[3]->setText(ComName(port));
    else
        StartupFailure(port);

    // These hold whichever way the port went: the window must know its file state and its
    // help document also when it starts without a port.
    ShowFileState(kFileStateNotLoaded);
    m_sHelpFile = HelpFilePath(m_services.programDir);
    FocusFirstControl();
}

void FrmMain::StartupFailure(int16_t port)
{
    // An unusable stored number names no port: nothing follows the blank.
    const bool known = port != kNoComPort;
    m_services.messages.Show(
        kCouldNotOpen + (known ? QString::number(port) : QString()), kStyleOkCancelError, QString(),
        known ? PortFailureDetail(m_services.port.Error(), m_services.port.ErrorText())
              : kStoredPortUnusable);
    ComSelect dialog(m_services.port, m_services.messages, m_services.deviceOf, this);
    dialog.exec();
    UpdatePortIndication();
}

void FrmMain::UpdatePortIndication()
{
    const bool open = m_services.port.IsOpen();
    m_panels[3]->setText(open ? ComName(ComSelect::GetComPort()) : kNoComms);
    m_cmdDownload->setEnabled(open);
}

bool FrmMain::ReopenLostPort()
{
    // The line went away (device or adapter unplugged) since the port was opened: the same
    // port is opened again. If it cannot be, the window says why and shows that no port is
    // open.
    if (m_services.port.Open())
        return true;
    m_services.messages.Show(
        kCouldNotOpen + QString::number(ComNumber(m_services.port.PortName())), kStyleOkCancelError,
        QString(), PortFailureDetail(m_services.port.Error(), m_services.port.ErrorText()));
    UpdatePortIndication();
    FocusFirstControl();
    return false;
}

void FrmMain::FocusFirstControl()
{
    if (m_cmdDownload->isEnabled())
        m_cmdDownload->setFocus();
    else
        m_cmdBrowse->setFocus();
}

void FrmMain::mnuComPort_Click()
{
    // Closing and reopening the port would pull it from under the running download.
    if (m_engine.IsRunning()) {
        m_services.messages.Show(kPortBusyWithDownload, kStyleWarning, QString());
        return;
    }
    ComSelect dialog(m_services.port, m_services.messages, m_services.deviceOf, this);
    dialog.exec();
    UpdatePortIndication();
}

void FrmMain::Form_Unload(int16_t& cancel)
{
    if (m_engine.IsProgramming()) {
        if (ShowMessage(m_services.messages, QuitQuestion()) != Answer::Yes) {
            cancel = 1;
            return;
        }
    }
    EndProgram();
}

void FrmMain::mnuExit_Click()
{
    int16_t cancel = 0;
    Form_Unload(cancel);
}

void FrmMain::EndProgram()
{
    if (m_host.IsEnding())
        return;
    // From here on a running download gets no further than its next wait, and the port is
    // closed before it could send anything more.
    m_host.BeginEnding();
    if (m_services.port.IsOpen())
        m_services.port.Close();
    hide();
    m_services.endProgram();
}

QString FrmMain::GetLastFilename() const
{
    return ReadLastFileSetting();
}

void FrmMain::SaveLastFilename(const QString& fname)
{
    WriteLastFileSetting(fname);
}
