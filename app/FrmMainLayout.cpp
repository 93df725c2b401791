// The main window's controls and status bar, and their places: the design in twips, scaled
// with the font in use and widened where a fixed text would not fit.
#include "FrmMain.h"

#include "EtchedRule.h"
#include "StatusPanel.h"
#include "TextRoom.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>

namespace {

// Layout in twips: the client area, and the status bar docked at its bottom edge.
constexpr int kClientWidth = 8625;
constexpr int kClientHeight = 1860;
constexpr int kStatusBarHeight = 345;
constexpr int kButtonWidth = 1335;
constexpr int kBrowseWidth = 375;
constexpr int kLabelWidth = 1935;
constexpr std::array<int, 4> kPanelWidths = {5145, 1700, 700, 750};
// The etched rule under the menu bar runs past the right edge, as wide as the widest screen
// layout the window was drawn for.
constexpr int kRuleWidth = 10080;

} // namespace

void FrmMain::CreateControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(m_client);

    m_label = new QLabel(QStringLiteral("Firmware File:"), m_client);
    m_label->setObjectName(QStringLiteral("Label1"));

    m_txtFileName = new QLineEdit(m_client);
    m_txtFileName->setObjectName(QStringLiteral("TxtFileName"));

    m_cmdBrowse = new QPushButton(QStringLiteral("..."), m_client);
    m_cmdBrowse->setObjectName(QStringLiteral("CmdBrowse"));
    QFont browseFont = m_cmdBrowse->font();
    browseFont.setPointSizeF(9.75);
    browseFont.setWeight(QFont::Normal);
    m_cmdBrowse->setFont(browseFont);

    m_cmdDownload = new QPushButton(QStringLiteral("&Download"), m_client);
    m_cmdDownload->setObjectName(QStringLiteral("CmdDownload"));

    // Made after CmdDownload, so it lies on top of it in the same place while a run shows it.
    m_cmdCancel = new QPushButton(QStringLiteral("&Cancel"), m_client);
    m_cmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    m_cmdCancel->hide();

    m_progressBar = new QProgressBar(m_client);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    m_progressBar->hide();
}

void FrmMain::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        auto* panel = new StatusPanel(bar);
        panel->setObjectName(QStringLiteral("Panel") + QString::number(i + 1));
        // The status line takes whatever the other panels leave of the bar's width.
        bar->addWidget(panel, i == 0 ? 1 : 0);
        m_panels[i] = panel;
    }
}

Twips FrmMain::FittingLayout() const
{
    Twips layout(font());
    auto fit = [&layout](int twips, int pixels) { layout = layout.WideEnoughFor(twips, pixels); };
    fit(kLabelWidth, CaptionWidth(m_label->fontMetrics(), m_label->text()));
    for (QPushButton* button : {m_cmdDownload, m_cmdCancel})
        fit(kButtonWidth,
            CaptionWidth(button->fontMetrics(), button->text()) + TextChrome(*button));
    fit(kBrowseWidth,
        CaptionWidth(m_cmdBrowse->fontMetrics(), m_cmdBrowse->text()) + TextChrome(*m_cmdBrowse));
    return layout;
}

int FrmMain::PanelWidth(std::size_t panel) const
{
    int width = m_layout.X(kPanelWidths[panel]);
    const std::array<QStringList, 4> texts = PanelTexts(m_panels[panel]->fontMetrics());
    for (const QString& text : texts[panel])
        width = std::max(width, m_panels[panel]->WidthFor(text));
    return width;
}

void FrmMain::LayOut()
{
    m_layout = FittingLayout();
    const Twips& twips = m_layout;
    // A panel whose texts need more than its share widens itself and the window, not the
    // whole layout.
    std::array<int, 4> panelWidths{};
    int widening = 0;
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        panelWidths[i] = PanelWidth(i);
        widening += panelWidths[i] - twips.X(kPanelWidths[i]);
    }
    m_client->setFixedSize(twips.X(kClientWidth) + widening,
                           twips.Y(kClientHeight - kStatusBarHeight));
    AddEtchedRule(m_client, QStringLiteral("Line1"), QStringLiteral("Line2"), 0, 0,
                  twips.X(kRuleWidth), QColor(64, 64, 64));
    m_label->setGeometry(twips.Rect(120, 200, kLabelWidth, 255));
    m_txtFileName->setGeometry(twips.Rect(120, 460, 7935, 315));
    m_cmdBrowse->setGeometry(twips.Rect(8160, 460, kBrowseWidth, 320));
    m_cmdDownload->setGeometry(twips.Rect(120, 960, kButtonWidth, 375));
    m_cmdCancel->setGeometry(twips.Rect(120, 960, kButtonWidth, 375));
    m_progressBar->setGeometry(twips.Rect(1560, 960, 6945, 345));

    statusBar()->setFixedHeight(twips.Y(kStatusBarHeight));
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        if (i == 0)
            m_panels[i]->setMinimumWidth(panelWidths[i]);
        else
            m_panels[i]->setFixedWidth(panelWidths[i]);
    }
}
