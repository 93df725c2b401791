#include "StatusPanel.h"

#include <QPainter>

namespace {
constexpr int kTextMargin = 3; // pixels between the sunken edge and the text
}

StatusPanel::StatusPanel(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void StatusPanel::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    setToolTip(text);
    update();
}

int StatusPanel::WidthFor(const QString& text) const
{
    // One pixel more than the advance: eliding measures in fractions of a pixel.
    return fontMetrics().horizontalAdvance(text) + 1 + 2 * (kTextMargin + frameWidth());
}

int StatusPanel::TextRoom() const
{
    return contentsRect().width() - 2 * kTextMargin;
}

void StatusPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(kTextMargin, 0, -kTextMargin, 0);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(m_text, Qt::ElideRight, TextRoom()));
}
