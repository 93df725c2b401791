#pragma once

#include <QColor>
#include <QString>

class QWidget;

// An etched rule: a dark line with a white line right under it, as two one-pixel frames
// with the given object names.
void AddEtchedRule(QWidget* parent, const QString& darkName, const QString& whiteName, int left,
                   int top, int width, const QColor& dark);
