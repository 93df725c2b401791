#include "OperatorLock.h"

#include "PasswordHash.h"
#include "SupervisorPrompts.h"

#include <QAction>
#include <QDir>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <chrono>

namespace {

const QString kKeyLocked = QStringLiteral("Station/Locked");
const QString kKeyPassword = QStringLiteral("Station/SupervisorPassword");

// Wrong passwords that are forgiven at once: typing slips, not guessing.
constexpr int kFreeWrongTries = 2;
constexpr std::chrono::milliseconds kFirstWait{1000};
constexpr std::chrono::milliseconds kLongestWait{30000};

} // namespace

OperatorLock::OperatorLock(QSettings& settings, SupervisorPrompts& prompts, QObject* parent)
    : QObject(parent), m_settings(settings), m_prompts(prompts),
      // Any text but "false" or "0" locks: a damaged value must not open the set-up.
      m_locked(settings.value(kKeyLocked, false).toBool()), m_wait(new QTimer(this)),
      m_unlock(new QAction(tr("Unlock Set-up…"), this)),
      m_lock(new QAction(tr("Lock Set-up"), this)),
      m_setPassword(new QAction(tr("Set Supervisor Password…"), this))
{
    m_unlock->setObjectName(QStringLiteral("ActUnlockSetup"));
    m_lock->setObjectName(QStringLiteral("ActLockSetup"));
    m_setPassword->setObjectName(QStringLiteral("ActSetSupervisorPassword"));
    m_wait->setSingleShot(true);
    connect(m_wait, &QTimer::timeout, this, &OperatorLock::UpdateActions);
    connect(m_unlock, &QAction::triggered, this, &OperatorLock::Unlock);
    connect(m_lock, &QAction::triggered, this, &OperatorLock::Lock);
    connect(m_setPassword, &QAction::triggered, this, &OperatorLock::SetPassword);
    UpdateActions();
}

bool OperatorLock::HasPassword() const
{
    return IsPasswordHash(m_settings.value(kKeyPassword).toString());
}

std::chrono::milliseconds OperatorLock::WaitAfterWrongTries(int wrongTries)
{
    if (wrongTries <= kFreeWrongTries)
        return std::chrono::milliseconds{0};
    auto wait = kFirstWait;
    for (int tries = kFreeWrongTries + 1; tries < wrongTries && wait < kLongestWait; ++tries)
        wait *= 2;
    return std::min(wait, kLongestWait);
}

void OperatorLock::Unlock()
{
    const QString title = tr("Unlock Set-up");
    if (!m_locked || m_wait->isActive())
        return;
    if (!HasPassword()) {
        m_prompts.Tell(title, tr("No supervisor password is set: set Station/Locked=false in %1 "
                                 "to unlock.")
                                  .arg(QDir::toNativeSeparators(m_settings.fileName())));
        return;
    }
    const auto password = m_prompts.AskPassword();
    if (!password)
        return;
    if (PasswordMatches(*password, m_settings.value(kKeyPassword).toString())) {
        m_wrongTries = 0;
        StoreLocked(false);
        return;
    }
    ++m_wrongTries;
    QString refusal = tr("Wrong password: the set-up stays locked.");
    const auto wait = WaitAfterWrongTries(m_wrongTries);
    if (wait.count() > 0) {
        m_wait->start(wait);
        refusal += u' ' + tr("The next try is possible in %1 s.")
                              .arg(std::chrono::ceil<std::chrono::seconds>(wait).count());
    }
    UpdateActions();
    m_prompts.Tell(title, refusal);
}

void OperatorLock::Lock()
{
    if (!m_locked && HasPassword())
        StoreLocked(true);
}

void OperatorLock::SetPassword()
{
    if (m_locked)
        return;
    const auto entry = m_prompts.AskNewPassword();
    if (!entry)
        return;
    const QString title = tr("Set Supervisor Password");
    if (entry->password.isEmpty()) {
        m_prompts.Tell(title, tr("The password must not be empty."));
        return;
    }
    if (entry->password != entry->repeated) {
        m_prompts.Tell(title, tr("The two passwords are not the same."));
        return;
    }
    m_settings.setValue(kKeyPassword, HashPassword(entry->password));
    m_settings.sync();
    if (m_settings.status() != QSettings::NoError)
        m_prompts.Tell(title, tr("The password cannot be saved in %1.")
                                  .arg(QDir::toNativeSeparators(m_settings.fileName())));
    UpdateActions();
}

void OperatorLock::StoreLocked(bool locked)
{
    m_settings.setValue(kKeyLocked, locked);
    m_settings.sync();
    m_locked = locked;
    UpdateActions();
    emit LockChanged(locked);
}

void OperatorLock::UpdateActions()
{
    m_unlock->setEnabled(m_locked && !m_wait->isActive());
    m_lock->setEnabled(!m_locked && HasPassword());
    m_setPassword->setEnabled(!m_locked);
}
