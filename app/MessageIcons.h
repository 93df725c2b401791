#pragma once

#include <QIcon>
#include <QImage>
#include <QMessageBox>

// The message boxes' icons (error, question, warning, information), drawn at whatever size and
// display scale a box shows them, so that they stay sharp where the style's would be enlarged.
QImage DrawMessageIcon(QMessageBox::Icon kind, int side);
QIcon MessageIcon(QMessageBox::Icon kind);
