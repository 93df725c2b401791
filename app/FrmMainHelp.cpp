#include "FrmMain.h"

#include "AppInfo.h"
#include "MessageBoxService.h"
#include "ProgramVersion.h"
#include "ShellOpenService.h"

namespace {
const QString kHelpError = QStringLiteral("Error occured while attempting to display ");
const QString kWebsiteError = QStringLiteral("Could not connect to the Halvorn Website.");
const QChar kCarriageReturn(u'\r');
} // namespace

void FrmMain::mnuContents_Click()
{
    if (!m_services.shell.OpenDocument(m_sHelpFile))
        m_services.messages.Show(kHelpError + m_sHelpFile, kStyleError,
                                 kApplicationTitle + QStringLiteral(" Help"));
}

void FrmMain::Form_KeyDown(int keyCode)
{
    // Any modifier with F1 does the same.
    if (keyCode == Qt::Key_F1)
        mnuContents_Click();
}

void FrmMain::mnuVandryWeb_Click()
{
    if (!m_services.shell.OpenAddress(kWebsiteAddress))
        m_services.messages.Show(kWebsiteError, kStyleError, kWebsiteTitle);
}

void FrmMain::mnuAbout_Click()
{
    const QString text = kApplicationTitle + QStringLiteral(" v") +
                         QString::fromLatin1(kProgramVersion) + kCarriageReturn + kCarriageReturn +
                         kCopyrightNotice + kCarriageReturn;
    m_services.messages.Show(text, kStyleInformation, QStringLiteral("About ") + kApplicationTitle);
}
