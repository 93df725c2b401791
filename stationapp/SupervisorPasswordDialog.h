#pragma once

#include <QDialog>

class QLineEdit;

// The supervisor's password dialog: one field to unlock the set-up, or two to set a new
// password. Characters are not shown; Enter is OK, Esc is Cancel, the first field has focus.
// Object names: "SupervisorPasswordDialog", fields "TxtPassword" and "TxtPasswordAgain".
class SupervisorPasswordDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Kind
    {
        Unlock,
        NewPassword,
    };

    explicit SupervisorPasswordDialog(Kind kind, QWidget* parent = nullptr);

    QString Password() const;
    // The second entry of a new password; empty for Kind::Unlock.
    QString RepeatedPassword() const;

private:
    QLineEdit* m_password;
    QLineEdit* m_repeated = nullptr;
};
