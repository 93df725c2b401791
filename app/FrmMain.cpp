#include "FrmMain.h"

#include "AppIcons.h"
#include "EtchedRule.h"
#include "MessageBoxService.h"
#include "StatusPanel.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

#include <algorithm>

namespace {

// Layout in twips: the client area, and the status bar docked at its bottom edge.
constexpr int kClientWidth = 8625;
constexpr int kClientHeight = 1860;
constexpr int kStatusBarHeight = 345;
constexpr std::array<int, 4> kPanelWidths = {5145, 1700, 700, 750};
// The longest text each panel shows: a panel is made wider than its width in twips only
// when the screen's font would not fit this text.
const std::array<QString, 4> kPanelLongestTexts = {QString(), QStringLiteral("File: CRC - 0000h"),
                                                   QStringLiteral("100 %"),
                                                   QStringLiteral("No Comms")};

} // namespace

FrmMain::FrmMain(const FrmMainServices& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_host(services.host),
      m_engine(services.port, m_host, *this)
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(kApplicationTitle);
    setWindowIcon(ApplicationIcon());
    // A fixed single border: close box and system menu, no minimize or maximize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    CreateControls();
    CreateMenus();
    CreateStatusBar();
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

void FrmMain::CreateControls()
{
    const Twips twips(screen()->logicalDotsPerInch());
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(twips.ToPixels(kClientWidth),
                         twips.ToPixels(kClientHeight - kStatusBarHeight));
    setCentralWidget(client);

    // The etched rule under the menu bar runs past the right edge, as wide as the widest
    // screen layout the window was drawn for.
    AddEtchedRule(client, QStringLiteral("Line1"), QStringLiteral("Line2"), 0, 0,
                  twips.ToPixels(10080), QColor(64, 64, 64));

    auto* label = new QLabel(QStringLiteral("Firmware File:"), client);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(twips.Rect(120, 200, 1935, 255));

    m_txtFileName = new QLineEdit(client);
    m_txtFileName->setObjectName(QStringLiteral("TxtFileName"));
    m_txtFileName->setGeometry(twips.Rect(120, 460, 7935, 315));

    m_cmdBrowse = new QPushButton(QStringLiteral("..."), client);
    m_cmdBrowse->setObjectName(QStringLiteral("CmdBrowse"));
    m_cmdBrowse->setGeometry(twips.Rect(8160, 460, 375, 320));
    QFont browseFont = m_cmdBrowse->font();
    browseFont.setPointSizeF(9.75);
    browseFont.setWeight(QFont::Normal);
    m_cmdBrowse->setFont(browseFont);

    m_cmdDownload = new QPushButton(QStringLiteral("&Download"), client);
    m_cmdDownload->setObjectName(QStringLiteral("CmdDownload"));
    m_cmdDownload->setGeometry(twips.Rect(120, 960, 1335, 375));

    // Made after CmdDownload, so it lies on top of it in the same place while a run shows it.
    m_cmdCancel = new QPushButton(QStringLiteral("&Cancel"), client);
    m_cmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    m_cmdCancel->setGeometry(twips.Rect(120, 960, 1335, 375));
    m_cmdCancel->hide();

    m_progressBar = new QProgressBar(client);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar->setGeometry(twips.Rect(1560, 960, 6945, 345));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    m_progressBar->hide();

    connect(m_cmdDownload, &QPushButton::clicked, this, &FrmMain::CmdDownload_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, [this] { m_engine.CmdCancel_Click(); });
    connect(m_cmdBrowse, &QPushButton::clicked, this, &FrmMain::CmdBrowse_Click);
    connect(m_txtFileName, &QLineEdit::textChanged, this, &FrmMain::TxtFileName_Change);
    connect(m_txtFileName, &QLineEdit::returnPressed, this, [this] { TxtFileName_KeyPress('\r'); });
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

void FrmMain::CreateStatusBar()
{
    const Twips twips(screen()->logicalDotsPerInch());
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(twips.ToPixels(kStatusBarHeight));
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        auto* panel = new StatusPanel(bar);
        panel->setObjectName(QStringLiteral("Panel") + QString::number(i + 1));
        const int width = twips.ToPixels(kPanelWidths[i]);
        if (i == 0) {
            // The status line gives way when the screen's font widens the other panels.
            panel->setMaximumWidth(width);
            bar->addWidget(panel, 1);
        } else {
            panel->setFixedWidth(std::max(width, panel->WidthFor(kPanelLongestTexts[i])));
            bar->addWidget(panel);
        }
        m_panels[i] = panel;
    }
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
}

void FrmMain::SetCancelVisible(bool visible)
{
    m_cmdCancel->setVisible(visible);
}

void FrmMain::SetDownloadEnabled(bool enabled)
{
    m_cmdDownload->setEnabled(enabled);
}

void FrmMain::FocusDownload()
{
    m_cmdDownload->setFocus();
}

int FrmMain::MessageBox(const QString& prompt, int style, const QString& title)
{
    const int answer = m_services.messages.Show(prompt, style, title);
    // The program was ended while the box was up: the download must not go on.
    if (m_host.IsEnding())
        throw ProgramEnding();
    return answer;
}
