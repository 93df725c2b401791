#include "MessageIcons.h"

#include "DrawnIcon.h"

#include <QPainter>
#include <QPolygonF>

namespace {

const QColor kNavy(0, 0, 128);
const QColor kRed(255, 0, 0);
const QColor kDarkRed(128, 0, 0);
const QColor kYellow(255, 255, 0);

// Each icon is drawn on a 32 x 32 grid, smoothed, at the picture's own size.
void Disc(QPainter& p, const QColor& edge, const QColor& face)
{
    p.setPen(QPen(edge, 1.0));
    p.setBrush(face);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
}

void Cross(QPainter& p)
{
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
    p.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
}

// A bar with a dot below it (!), or above it (i).
void BarAndDot(QPainter& p, const QColor& colour, const QRectF& bar, const QRectF& dot)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(bar, 1.5, 1.5);
    p.drawEllipse(dot);
}

void Triangle(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kYellow);
    p.drawPolygon(QPolygonF({QPointF(16, 2), QPointF(30.5, 29), QPointF(1.5, 29)}));
}

void QuestionMark(QPainter& p)
{
    QFont font = p.font();
    font.setPixelSize(22);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kNavy);
    p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("?"));
}

} // namespace

QImage DrawMessageIcon(QMessageBox::Icon kind, int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(side / 32.0, side / 32.0);
    switch (kind) {
    case QMessageBox::Critical:
        Disc(p, kDarkRed, kRed);
        Cross(p);
        break;
    case QMessageBox::Warning:
        Triangle(p);
        BarAndDot(p, Qt::black, QRectF(14.5, 10, 3, 12), QRectF(14.5, 23.5, 3, 3));
        break;
    case QMessageBox::Information:
        Disc(p, kNavy, Qt::white);
        BarAndDot(p, kNavy, QRectF(14.5, 12.5, 3, 12.5), QRectF(14.5, 6.5, 3, 3));
        break;
    case QMessageBox::Question:
        Disc(p, kNavy, Qt::white);
        QuestionMark(p);
        break;
    case QMessageBox::NoIcon:
        break;
    }
    return image;
}

QIcon MessageIcon(QMessageBox::Icon kind)
{
    return DrawnIcon([kind](int side) { return DrawMessageIcon(kind, side); }, {32, 64});
}
