#include "EtchedRule.h"

#include <QFrame>
#include <QPalette>

namespace {
void AddLine(QWidget* parent, const QString& name, const QRect& geometry, const QColor& colour)
{
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    line->setGeometry(geometry);
}
} // namespace

void AddEtchedRule(QWidget* parent, const QString& darkName, const QString& whiteName, int left,
                   int top, int width, const QColor& dark)
{
    AddLine(parent, darkName, QRect(left, top, width, 1), dark);
    AddLine(parent, whiteName, QRect(left, top + 1, width, 1), Qt::white);
}
