#include "StationWindow.h"

#include "BoardEvents.h"
#include "FiguresBar.h"
#include "MessageBoxService.h"
#include "OperatorLock.h"
#include "SetupPanel.h"
#include "ShellOpenService.h"
#include "StationTitle.h"
#include "TileBoard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPushButton* BigButton(const QString& text, const QString& objectName)
{
    auto* button = new QPushButton(text);
    button->setObjectName(objectName);
    QFont font = button->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    button->setFont(font);
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("MStartM")) * 2);
    return button;
}

QLabel* StatusLabel(const QString& objectName)
{
    auto* label = new QLabel;
    label->setObjectName(objectName);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

StationWindow::StationWindow(const StationWindowServices& services)
    : m_services(services), m_setup(new SetupPanel(services.fileDialog)),
      m_setupArea(new QScrollArea),
      m_setupShown(new QAction(QStringLiteral("Set-up &Panel"), this)),
      m_figuresBar(new FiguresBar), m_board(new TileBoard),
      m_start(BigButton(QStringLiteral("&Start"), QStringLiteral("CmdStart"))),
      m_stop(BigButton(QStringLiteral("S&top"), QStringLiteral("CmdStop"))),
      m_statusText(StatusLabel(QStringLiteral("StatusText"))),
      m_warningText(StatusLabel(QStringLiteral("WarningText"))),
      m_lock(new OperatorLock(services.settings, services.prompts, this)),
      m_events(new BoardEvents(*m_board, this))
{
    setObjectName(QStringLiteral("StationWindow"));
    setWindowTitle(kStationTitle);
    m_setup->SetSetup(ReadStationSetup(m_services.settings));
    setCentralWidget(BuildCentre());
    BuildMenus();
    statusBar()->addWidget(m_statusText, 1);
    statusBar()->addPermanentWidget(m_warningText);

    connect(m_start, &QPushButton::clicked, this, &StationWindow::Start);
    connect(m_stop, &QPushButton::clicked, this, &StationWindow::Stop);
    connect(m_setup, &SetupPanel::ReadyChanged, this, &StationWindow::UpdateControls);
    connect(m_lock, &OperatorLock::LockChanged, this, &StationWindow::ShowSetupPanel);
    connect(m_setupShown, &QAction::toggled, this, &StationWindow::ShowSetupPanel);
    connect(m_events, &BoardEvents::WatchingFolder, this, &StationWindow::ShowWatching);
    connect(m_events, &BoardEvents::PortEnded, this, [this](const TryResult& result) {
        m_figures.Ended(result, m_clock.elapsed());
        RefreshFigures();
    });
    connect(m_events, &BoardEvents::LineStopped, this, &StationWindow::ShowStopped);

    // Space starts and stops from anywhere in the window; a text field takes it as typing,
    // and a focused button (Browse…, a tick box) is pressed by it as everywhere else.
    auto* space = new QShortcut(Qt::Key_Space, this);
    connect(space, &QShortcut::activated, this, [this] {
        auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        if (button && button != m_start && button != m_stop)
            button->animateClick();
        else
            StartOrStop();
    });

    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, &StationWindow::RefreshFigures);
    m_clock.start();
    m_figures.Start(0);
    RefreshFigures();
    ShowSetupPanel();
    UpdateControls();
}

StationWindow::~StationWindow()
{
    // The runs and the watcher end before the board they show on.
    m_stopRequested = true;
    m_line.reset();
}

QWidget* StationWindow::BuildCentre()
{
    m_setupArea->setObjectName(QStringLiteral("SetupArea"));
    m_setupArea->setWidget(m_setup);
    m_setupArea->setWidgetResizable(true);
    m_setupArea->setFocusPolicy(Qt::NoFocus);
    m_setupArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Wide enough for a path of some length in every field, at the font in use.
    const int panelWidth =
        std::max(m_setup->sizeHint().width(), m_setup->fontMetrics().averageCharWidth() * 46);
    m_setupArea->setMinimumWidth(panelWidth + m_setupArea->verticalScrollBar()->sizeHint().width() +
                                 2 * m_setupArea->frameWidth());

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_start);
    buttons->addWidget(m_stop);
    buttons->addStretch(1);

    auto* side = new QVBoxLayout;
    side->addLayout(buttons);
    side->addWidget(m_setupArea, 1);

    auto* middle = new QHBoxLayout;
    middle->addLayout(side);
    middle->addWidget(m_board, 1);

    // Only the controls take the focus: the tiles hold none.
    m_board->setFocusPolicy(Qt::NoFocus);

    auto* centre = new QWidget;
    auto* layout = new QVBoxLayout(centre);
    layout->addWidget(m_figuresBar);
    layout->addLayout(middle, 1);

    setTabOrder(m_start, m_stop);
    setTabOrder(m_stop, m_setup);
    return centre;
}

void StationWindow::BuildMenus()
{
    QMenu* line = menuBar()->addMenu(QStringLiteral("&Line"));
    line->addAction(QStringLiteral("E&xit"), this, &QWidget::close);

    QMenu* setup = menuBar()->addMenu(QStringLiteral("Set-&up"));
    // Folded away, the tiles have the whole width, as on a small screen or a large scale.
    m_setupShown->setCheckable(true);
    m_setupShown->setChecked(true);
    m_setupShown->setShortcut(Qt::Key_F9);
    setup->addAction(m_setupShown);
    setup->addSeparator();
    setup->addAction(m_lock->UnlockAction());
    setup->addAction(m_lock->LockAction());
    setup->addSeparator();
    setup->addAction(m_lock->SetPasswordAction());

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* contents =
        help->addAction(QStringLiteral("&Contents"), this, &StationWindow::ShowHelp);
    contents->setShortcut(Qt::Key_F1);
    contents->setShortcutContext(Qt::ApplicationShortcut);
}

void StationWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The focus is drawn from the start, not only after the first Tab; it starts on Start.
    setAttribute(Qt::WA_KeyboardFocusChange);
    if (m_start->isEnabled())
        m_start->setFocus();
}

void StationWindow::ShowSetupPanel()
{
    // Locked, it is hidden, not merely disabled: the operator has nothing to read or change
    // there.
    const bool locked = m_lock->IsLocked();
    m_setupShown->setEnabled(!locked);
    m_setupArea->setVisible(!locked && m_setupShown->isChecked());
}

void StationWindow::UpdateControls()
{
    m_start->setEnabled(!m_armed && m_setup->Ready());
    m_stop->setEnabled(m_armed && !m_stopRequested);
    m_setup->SetReadOnly(m_armed);
    if (!m_armed && !m_setup->Ready() && m_statusText->text().isEmpty())
        m_statusText->setText(
            QStringLiteral("Set up the line: the firmware, the folder, the record"));
}

void StationWindow::ShowHelp()
{
    if (!m_services.shell.OpenDocument(m_services.helpFile))
        m_services.messages.Show(
            QStringLiteral("The help document %1 cannot be shown.").arg(m_services.helpFile),
            kStyleError, kStationTitle + QStringLiteral(" Help"));
}

void StationWindow::RefreshFigures()
{
    m_figuresBar->Show(m_figures, m_clock.elapsed());
}
