#pragma once

#include <QObject>

#include <chrono>

class QAction;
class QSettings;
class QTimer;
class SupervisorPrompts;

// The operator lock of the station window: while Station/Locked is true the set-up panel is
// hidden and the operator can only Start and Stop. The supervisor's password is kept as a
// hash in Station/SupervisorPassword. The lock reads and writes the settings it is given and
// offers three actions for the window's menu. The settings are given at their top level (no
// group begun); the keys name their group. The actions are enabled as follows:
//   unlocked, no password:  Set Supervisor Password
//   unlocked, password set: Lock Set-up, Set Supervisor Password
//   locked:                 Unlock Set-up (not while waiting after wrong tries)
class OperatorLock : public QObject
{
    Q_OBJECT
public:
    OperatorLock(QSettings& settings, SupervisorPrompts& prompts, QObject* parent = nullptr);

    bool IsLocked() const { return m_locked; }
    bool HasPassword() const;

    QAction* UnlockAction() const { return m_unlock; }
    QAction* LockAction() const { return m_lock; }
    QAction* SetPasswordAction() const { return m_setPassword; }

    // How long unlocking stays refused after this many wrong passwords in a row.
    static std::chrono::milliseconds WaitAfterWrongTries(int wrongTries);

signals:
    void LockChanged(bool locked);

private:
    void Unlock();
    void Lock();
    void SetPassword();
    void StoreLocked(bool locked);
    void UpdateActions();

    QSettings& m_settings;
    SupervisorPrompts& m_prompts;
    bool m_locked;
    int m_wrongTries = 0;
    QTimer* m_wait;
    QAction* m_unlock;
    QAction* m_lock;
    QAction* m_setPassword;
};
