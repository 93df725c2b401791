#include "FrmMain.h"

#include "AppIcons.h"
#include "MessageBoxService.h"
#include "PressOnEnter.h"
#include "StatusPanel.h"

#include <QCloseEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

#include <utility>

FrmMain::FrmMain(const FrmMainServices& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_host(services.host), m_record(services.port),
      m_engine(m_record.Port(), m_host, *this)
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(kApplicationTitle);
    setWindowIcon(ApplicationIcon());
    // A fixed single border: title, system menu and close box; neither minimize nor maximize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    CreateControls();
    CreateMenus();
    CreateStatusBar();
    LayOut();
    ConnectControls();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // Centred before it is first shown, so the boxes and the port dialog that start-up may
    // show before the window appears are centred too.
    adjustSize();
    move(screen()->availableGeometry().center() - rect().center());
    // Set once every widget exists: widgets made later join the chain at its end.
    setTabOrder(m_cmdDownload, m_cmdBrowse);
    setTabOrder(m_cmdBrowse, m_cmdCancel);
    setTabOrder(m_cmdCancel, m_txtFileName);
}

void FrmMain::ConnectControls()
{
    connect(m_cmdDownload, &QPushButton::clicked, this, [this] {
        m_runClickTick = m_host.TickCount();
        CmdDownload_Click();
    });
    connect(m_cmdCancel, &QPushButton::clicked, this, &FrmMain::CmdCancel_Click);
    connect(m_cmdBrowse, &QPushButton::clicked, this, &FrmMain::CmdBrowse_Click);
    connect(m_txtFileName, &QLineEdit::textChanged, this, &FrmMain::TxtFileName_Change);
    connect(m_txtFileName, &QLineEdit::returnPressed, this, [this] { TxtFileName_KeyPress('\r'); });
    for (QPushButton* button : {m_cmdDownload, m_cmdBrowse, m_cmdCancel})
        PressOnEnter(button);
    m_txtFileName->installEventFilter(this);
    setAcceptDrops(true);
}

void FrmMain::CreateMenus()
{
    auto addItem = [this](QMenu* menu, const char* name, const QString& caption,
                          void (FrmMain::*handler)()) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        connect(item, &QAction::triggered, this, handler);
    };
    auto addDash = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    addItem(file, "mnuComPort", QStringLiteral("&COM Port"), &FrmMain::mnuComPort_Click);
    addDash(file, "mnuDash1");
    addItem(file, "mnuExit", QStringLiteral("&Exit"), &FrmMain::mnuExit_Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    addItem(help, "mnuContents", QStringLiteral("&Contents..."), &FrmMain::mnuContents_Click);
    addDash(help, "mnuDash3");
    addItem(help, "mnuVandryWeb", QStringLiteral("&Halvorn Website"), &FrmMain::mnuVandryWeb_Click);
    addDash(help, "mnuDash2");
    addItem(help, "mnuAbout", QStringLiteral("&About..."), &FrmMain::mnuAbout_Click);
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    if (m_host.IsEnding()) {
        event->accept();
        return;
    }
    int16_t cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0)
        event->ignore();
    else
        event->accept();
}

void FrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The focus is drawn from the start, not only after the first Tab: a keyboard user sees
    // which button Enter presses. Showing a window clears this, so it is set once shown.
    setAttribute(Qt::WA_KeyboardFocusChange);
}

void FrmMain::keyPressEvent(QKeyEvent* event)
{
    // The controls leave F1 alone, so it reaches the window from whichever has the focus; it
    // is passed on unconsumed.
    Form_KeyDown(event->key());
    QMainWindow::keyPressEvent(event);
}

void FrmMain::ShowStatus(const QString& text)
{
    m_panels[0]->setText(text);
    emit StatusShown(text);
}

void FrmMain::ShowFileState(const QString& text)
{
    m_panels[1]->setText(text);
}

void FrmMain::ShowPercent(const QString& text)
{
    m_panels[2]->setText(text);
}

void FrmMain::SetProgressVisible(bool visible)
{
    m_progressBar->setVisible(visible);
}

void FrmMain::SetProgressMaximum(int maximum)
{
    m_progressBar->setMaximum(maximum);
}

void FrmMain::SetProgressValue(int value)
{
    m_progressBar->setValue(value);
    m_record.StepDone(value);
}

// Cancel takes Download's place during a run, and the focus goes with it: Enter then presses
// the button that is shown there. When Cancel goes, the focus comes back to Download as soon
// as Download is enabled again (a run always hides Cancel first).
void FrmMain::SetCancelVisible(bool visible)
{
    if (!visible && focusWidget() == m_cmdCancel)
        m_focusBackToDownload = true;
    m_cmdCancel->setVisible(visible);
}

void FrmMain::SetDownloadEnabled(bool enabled)
{
    if (!enabled && focusWidget() == m_cmdDownload && !m_cmdCancel->isHidden())
        m_cmdCancel->setFocus();
    m_cmdDownload->setEnabled(enabled);
    if (enabled && std::exchange(m_focusBackToDownload, false))
        m_cmdDownload->setFocus();
}

void FrmMain::FocusDownload()
{
    m_cmdDownload->setFocus();
}

Answer FrmMain::Ask(const MessageBoxText& message)
{
    const Answer answer = ShowMessage(m_services.messages, message);
    // The program was ended while the box was up: the download must not go on.
    if (m_host.IsEnding())
        throw ProgramEnding();
    return answer;
}
