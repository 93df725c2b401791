#include "QtMessageBoxService.h"

#include "DownloadView.h"
#include "MessageIcons.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QStyle>

namespace {

// Texts keep their line breaks as carriage returns (alone or before a line feed); a message
// box needs line feeds to break the line.
QString WithLineFeeds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QMessageBox::Icon IconOf(int style)
{
    switch (style & 0xF0) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsOf(int style)
{
    switch (style & 0x0F) {
    case 1:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case 3:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case 4:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

int AnswerOf(int button)
{
    switch (button) {
    case QMessageBox::Cancel:
        return kAnswerCancel;
    case QMessageBox::Yes:
        return kAnswerYes;
    case QMessageBox::No:
        return kAnswerNo;
    default:
        return kAnswerOk;
    }
}

// The window manager draws the title in the frame, in a bold font beside the frame's icon and
// buttons (about six lines of text high in all). A box only as wide as a short text would
// have its title cut there.
void MakeRoomForTitle(QMessageBox& box)
{
    constexpr int kFrameIconAndButtons = 6; // in heights of the title's font
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const QFontMetrics metrics(titleFont);
    const int width =
        metrics.horizontalAdvance(box.windowTitle()) + kFrameIconAndButtons * metrics.height();
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

int QtMessageBoxService::Show(const QString& text, int style, const QString& title,
                              const QString& detail)
{
    const QMessageBox::Icon kind = IconOf(style);
    QMessageBox box(kind, title.isEmpty() ? kApplicationTitle : title, WithLineFeeds(text),
                    ButtonsOf(style), m_parent);
    if (kind != QMessageBox::NoIcon) {
        const int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
        box.setIconPixmap(MessageIcon(kind).pixmap(QSize(side, side), box.devicePixelRatio()));
    }
    box.setTextFormat(Qt::PlainText);
    if (!detail.isEmpty())
        box.setInformativeText(detail);
    // Escape and the close box give the cautious answer.
    if (box.button(QMessageBox::No) != nullptr)
        box.setEscapeButton(QMessageBox::No);
    else if (box.button(QMessageBox::Cancel) != nullptr)
        box.setEscapeButton(QMessageBox::Cancel);
    MakeRoomForTitle(box);
    return AnswerOf(box.exec());
}
