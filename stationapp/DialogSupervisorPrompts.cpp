#include "DialogSupervisorPrompts.h"

#include "SupervisorPasswordDialog.h"

#include <QMessageBox>

std::optional<QString> DialogSupervisorPrompts::AskPassword()
{
    SupervisorPasswordDialog dialog(SupervisorPasswordDialog::Kind::Unlock, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Password();
}

std::optional<NewPasswordEntry> DialogSupervisorPrompts::AskNewPassword()
{
    SupervisorPasswordDialog dialog(SupervisorPasswordDialog::Kind::NewPassword, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return NewPasswordEntry{dialog.Password(), dialog.RepeatedPassword()};
}

void DialogSupervisorPrompts::Tell(const QString& title, const QString& text)
{
    QMessageBox::warning(m_window, title, text);
}
