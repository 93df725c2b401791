#include "SupervisorPasswordDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int kFieldChars = 24;

QLineEdit* PasswordField(const QString& objectName, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(objectName);
    field->setEchoMode(QLineEdit::Password);
    // Room for a long pass phrase at any font.
    field->setMinimumWidth(field->fontMetrics().averageCharWidth() * kFieldChars);
    return field;
}

} // namespace

SupervisorPasswordDialog::SupervisorPasswordDialog(Kind kind, QWidget* parent)
    : QDialog(parent), m_password(PasswordField(QStringLiteral("TxtPassword"), this))
{
    setObjectName(QStringLiteral("SupervisorPasswordDialog"));
    auto* fields = new QFormLayout;
    if (kind == Kind::Unlock) {
        setWindowTitle(tr("Unlock Set-up"));
        fields->addRow(tr("Supervisor password:"), m_password);
    } else {
        setWindowTitle(tr("Set Supervisor Password"));
        m_repeated = PasswordField(QStringLiteral("TxtPasswordAgain"), this);
        fields->addRow(tr("New password:"), m_password);
        fields->addRow(tr("Repeat password:"), m_repeated);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_password->setFocus();
}

QString SupervisorPasswordDialog::Password() const
{
    return m_password->text();
}

QString SupervisorPasswordDialog::RepeatedPassword() const
{
    return m_repeated ? m_repeated->text() : QString();
}
