#include "StateIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// The shapes are drawn on a 100 x 100 grid, scaled to the widget.

void DrawCheck(QPainter& p)
{
    p.drawPolyline(QPolygonF({{22, 52}, {42, 72}, {78, 30}}));
}

void DrawCross(QPainter& p)
{
    p.drawLine(QPointF(28, 28), QPointF(72, 72));
    p.drawLine(QPointF(72, 28), QPointF(28, 72));
}

void DrawArrowDown(QPainter& p)
{
    p.drawLine(QPointF(50, 20), QPointF(50, 76));
    p.drawPolyline(QPolygonF({{28, 54}, {50, 76}, {72, 54}}));
}

// An arc of three quarters with its head: the try comes round again.
void DrawAgain(QPainter& p)
{
    const QRectF circle(24, 24, 52, 52);
    p.drawArc(circle, 90 * 16, 270 * 16);
    p.drawPolyline(QPolygonF({{40, 14}, {52, 24}, {40, 34}}));
}

// Two bars: waiting for its turn.
void DrawPause(QPainter& p)
{
    p.drawLine(QPointF(38, 28), QPointF(38, 72));
    p.drawLine(QPointF(62, 28), QPointF(62, 72));
}

void DrawStop(QPainter& p, const QColor& colour)
{
    p.setBrush(colour);
    p.drawRect(QRectF(30, 30, 40, 40));
}

// A cable cut in two: the line is gone while the link stays.
void DrawCut(QPainter& p)
{
    p.drawLine(QPointF(14, 50), QPointF(40, 50));
    p.drawLine(QPointF(60, 50), QPointF(86, 50));
    p.drawLine(QPointF(44, 34), QPointF(38, 66));
    p.drawLine(QPointF(62, 34), QPointF(56, 66));
}

// A bar across a ring: not to be touched.
void DrawNoEntry(QPainter& p)
{
    p.drawEllipse(QRectF(20, 20, 60, 60));
    p.drawLine(QPointF(34, 50), QPointF(66, 50));
}

// An empty socket: nothing plugged in.
void DrawSocket(QPainter& p)
{
    p.drawRoundedRect(QRectF(26, 30, 48, 40), 8, 8);
    p.drawLine(QPointF(40, 44), QPointF(40, 56));
    p.drawLine(QPointF(60, 44), QPointF(60, 56));
}

} // namespace

StateIcon::StateIcon(double lines, QWidget* parent) : QWidget(parent), m_lines(lines)
{
    setObjectName(QStringLiteral("Icon"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void StateIcon::SetState(TileState state)
{
    m_state = state;
    update();
}

QSize StateIcon::sizeHint() const
{
    const int side = qRound(fontMetrics().height() * m_lines);
    return {side, side};
}

void StateIcon::paintEvent(QPaintEvent*)
{
    const QColor colour = ColoursOf(m_state).icon;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height());
    p.translate((width() - side) / 2.0, (height() - side) / 2.0);
    p.scale(side / 100.0, side / 100.0);
    p.setPen(QPen(colour, 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    switch (m_state) {
    case TileState::LeftAlone:
        DrawNoEntry(p);
        break;
    case TileState::Waiting:
        DrawPause(p);
        break;
    case TileState::Running:
        DrawArrowDown(p);
        break;
    case TileState::Retrying:
        DrawAgain(p);
        break;
    case TileState::Done:
        DrawCheck(p);
        break;
    case TileState::Failed:
        DrawCross(p);
        break;
    case TileState::Stopped:
        DrawStop(p, colour);
        break;
    case TileState::LineLost:
        DrawCut(p);
        break;
    case TileState::Unplugged:
        DrawSocket(p);
        break;
    }
}
