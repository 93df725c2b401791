#pragma once

#include "MessageBoxService.h"

class QWidget;

// Message boxes as QMessageBox dialogs, modal over the given parent.
class QtMessageBoxService : public MessageBoxService
{
public:
    void SetParent(QWidget* parent) { m_parent = parent; }

    int Show(const QString& text, int style, const QString& title,
             const QString& detail = QString()) override;

private:
    QWidget* m_parent = nullptr;
};
