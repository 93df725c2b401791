#include "PortTile.h"

#include "PortRun.h"
#include "StateIcon.h"
#include "StationEvents.h"
#include "TileWords.h"
#include "VisibleText.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>

namespace {

// Sizes of the tile's texts against the window's font, for reading from two metres.
constexpr double kSerialScale = 2.4;
constexpr double kStateScale = 2.0;
constexpr double kDetailScale = 1.2;
constexpr double kIconLines = 2.0; // of the state's line
constexpr int kDetailLines = 3;
constexpr int kSerialChars = 12; // an FTDI serial number has 8, others a few more
constexpr int kDetailChars = 34; // per line: a failure's sentence fits in three

QFont Scaled(QFont font, double scale, bool bold)
{
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(bold);
    return font;
}

QLabel* NewLabel(const char* name, const QFont& font, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

PortTile::PortTile(const QString& port, QWidget* parent) : QFrame(parent), m_port(port)
{
    setObjectName(QStringLiteral("tile:") + port);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);

    const QFont base = font();
    const QFont serialFont = Scaled(base, kSerialScale, true);
    const QFont stateFont = Scaled(base, kStateScale, true);
    const QFont detailFont = Scaled(base, kDetailScale, false);

    m_serial = NewLabel("Serial", serialFont, this);
    m_serial->setToolTip(VisibleText(port));
    m_icon = new StateIcon(kIconLines, this);
    m_icon->setFont(stateFont);
    m_stateWords = NewLabel("State", stateFont, this);
    m_detail = NewLabel("Detail", detailFont, this);
    m_detail->setWordWrap(true);
    m_detail->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_detail->setFixedHeight(QFontMetrics(detailFont).lineSpacing() * kDetailLines);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("Progress"));
    m_bar->setTextVisible(false);
    m_bar->setFixedHeight(QFontMetrics(detailFont).height());
    m_percent = NewLabel("Percent", stateFont, this);
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_percent->setMinimumWidth(QFontMetrics(stateFont).horizontalAdvance(QStringLiteral("100 %")));
    m_times = NewLabel("Times", detailFont, this);
    m_linkNote = NewLabel("LinkNote", base, this);
    for (QWidget* kept : {static_cast<QWidget*>(m_bar), static_cast<QWidget*>(m_percent)}) {
        QSizePolicy policy = kept->sizePolicy();
        policy.setRetainSizeWhenHidden(true); // tiles keep their size in every state
        kept->setSizePolicy(policy);
    }

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_icon, 0, 0, 2, 1, Qt::AlignCenter);
    grid->addWidget(m_serial, 0, 1, 1, 2);
    grid->addWidget(m_stateWords, 1, 1, 1, 2);
    grid->addWidget(m_detail, 2, 0, 1, 3);
    grid->addWidget(m_bar, 3, 0, 1, 2);
    grid->addWidget(m_percent, 3, 2);
    grid->addWidget(m_times, 4, 0, 1, 3);
    grid->addWidget(m_linkNote, 5, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    // Wide enough for the longest serial number, state and detail line in the fonts in use.
    int wordsWidth = QFontMetrics(serialFont).averageCharWidth() * kSerialChars;
    for (const QString& words : AllStateWords())
        wordsWidth = std::max(wordsWidth, QFontMetrics(stateFont).horizontalAdvance(words));
    const QMargins margins = grid->contentsMargins();
    const int width = std::max(m_icon->sizeHint().width() + grid->horizontalSpacing() + wordsWidth,
                               QFontMetrics(detailFont).averageCharWidth() * kDetailChars) +
                      margins.left() + margins.right() + 2 * frameWidth();
    setFixedSize(width, grid->totalSizeHint().height());
    m_serialRoom = wordsWidth;
    ShowAdapter(QString());

    Show(TileState::Waiting, StateWords(TileState::Waiting));
}

void PortTile::LeftAlone()
{
    Show(TileState::LeftAlone, StateWords(TileState::LeftAlone));
    ShowDetail(QStringLiteral("There before Start: nothing is sent to it"));
}

void PortTile::Plugged(const QString& serialNumber)
{
    ShowAdapter(serialNumber);
    m_tryNumber = 1;
    m_linkNote->clear();
    m_times->clear();
    Show(TileState::Waiting, StateWords(TileState::Waiting));
    ShowDetail(QStringLiteral("For a free job"));
}

void PortTile::Started()
{
    m_tryNumber = 1;
    m_bar->setValue(0);
    m_percent->setText(QStringLiteral("0 %"));
    m_times->clear();
    Show(TileState::Running, StateWords(TileState::Running));
    ShowDetail(QString());
}

// A status once the run has ended (a stop's last word, a late line) leaves the outcome shown.
void PortTile::Status(const QString& text)
{
    if (IsEnded(m_state) || m_state == TileState::Unplugged)
        return;
    ShowDetail(text);
}

void PortTile::Progress(const RunProgress& progress)
{
    if (IsEnded(m_state) || m_state == TileState::Unplugged || m_state == TileState::LeftAlone)
        return;
    if (m_state != TileState::Running) // the next try has begun
        Show(TileState::Running, m_tryNumber > 1
                                     ? QStringLiteral("Running, try %1").arg(m_tryNumber)
                                     : StateWords(TileState::Running));
    m_bar->setMaximum(std::max(progress.maximum, 1));
    m_bar->setValue(std::min(progress.value, m_bar->maximum()));
    m_percent->setText(QStringLiteral("%1 %").arg(progress.percent));
    m_times->setText(RunningTimes(progress.elapsedMs, progress.remainingMs));
}

// The try that downloaded or was stopped is the last; Ended follows and tells it.
void PortTile::TryEnded(const TryResult& result)
{
    if (IsEnded(m_state) || result.run.outcome == Outcome::Downloaded ||
        result.run.outcome == Outcome::Cancelled)
        return;
    m_tryNumber = result.tryNumber + 1;
    Show(TileState::Retrying, StateWords(TileState::Retrying));
    ShowDetail(QStringLiteral("Try %1 failed: %2").arg(result.tryNumber).arg(result.detail));
}

// A device unplugged during its run stays unplugged: the tile tells how its run ended.
void PortTile::Ended(const TryResult& result)
{
    if (m_state == TileState::Unplugged) {
        ShowDetail(result.detail.isEmpty()
                       ? EndedWords(result)
                       : QStringLiteral("%1: %2").arg(EndedWords(result), result.detail));
        return;
    }
    Show(EndedState(result), EndedWords(result));
    ShowDetail(AsSentence(result.detail));
    if (result.elapsedMs > 0)
        m_times->setText(EndedTime(result.elapsedMs));
}

void PortTile::Unplugged()
{
    m_times->clear();
    Show(TileState::Unplugged, StateWords(TileState::Unplugged));
    ShowDetail(QString());
}

void PortTile::LineLost()
{
    Show(TileState::LineLost, StateWords(TileState::LineLost));
    ShowDetail(AsSentence(kLineLostText));
}

void PortTile::SetLinkNote(const QString& note)
{
    m_linkNote->setText(note);
}

void PortTile::Show(TileState state, const QString& words)
{
    m_state = state;
    m_icon->SetState(state);
    m_stateWords->setText(words);
    m_bar->setVisible(state == TileState::Running);
    m_percent->setVisible(state == TileState::Running);

    QPalette colours = palette();
    colours.setColor(QPalette::Window, ColoursOf(state).background);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text})
        colours.setColor(role, QColor(0x10, 0x10, 0x10));
    setPalette(colours);
}

void PortTile::ShowDetail(const QString& text)
{
    m_detail->setText(text);
    m_detail->setToolTip(text); // the whole of a sentence too long for its lines
}

// A name longer than its room (a link that is no adapter's) keeps its end, which tells links
// apart; the whole link is the tool tip.
void PortTile::ShowAdapter(const QString& serialNumber)
{
    m_serial->setText(m_serial->fontMetrics().elidedText(AdapterName(serialNumber, m_port),
                                                         Qt::ElideLeft, m_serialRoom));
}
