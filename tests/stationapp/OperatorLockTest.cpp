#include "OperatorLock.h"
#include "ScriptedSupervisorPrompts.h"

#include <QAction>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace std::chrono_literals;

const QString kPassword = QStringLiteral("Linie 4 Aufsicht");

class OperatorLockTest : public testing::Test
{
protected:
    QString SettingsFile() const { return m_dir.filePath(QStringLiteral("NorvaneProg.conf")); }
    void WriteSettings(const QByteArray& text) const
    {
        QFile file(SettingsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray ReadSettings() const
    {
        QFile file(SettingsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    ScriptedSupervisorPrompts m_prompts;
};

struct ActionStates
{
    bool unlock;
    bool lock;
    bool setPassword;
    bool operator==(const ActionStates&) const = default;
};

ActionStates States(const OperatorLock& lock)
{
    return {lock.UnlockAction()->isEnabled(), lock.LockAction()->isEnabled(),
            lock.SetPasswordAction()->isEnabled()};
}

TEST_F(OperatorLockTest, SupervisorSetsPasswordLocksAndUnlocks)
{
    QSettings settings(SettingsFile(), QSettings::IniFormat);
    OperatorLock lock(settings, m_prompts);
    QSignalSpy changes(&lock, &OperatorLock::LockChanged);
    struct Step
    {
        const char* what;
        std::function<void()> act;
        bool locked;
        ActionStates states;
        QString told;
    };
    const Step steps[] = {
        {"fresh", [] {}, false, {false, false, true}, {}},
        {"empty password",
         [&] {
             m_prompts.newPasswords.push_back(NewPasswordEntry{});
             lock.SetPasswordAction()->trigger();
         },
         false,
         {false, false, true},
         "The password must not be empty."},
        {"unequal passwords",
         [&] {
             m_prompts.newPasswords.push_back(NewPasswordEntry{kPassword, kPassword + u' '});
             lock.SetPasswordAction()->trigger();
         },
         false,
         {false, false, true},
         "The two passwords are not the same."},
        {"password set",
         [&] {
             m_prompts.newPasswords.push_back(NewPasswordEntry{kPassword, kPassword});
             lock.SetPasswordAction()->trigger();
         },
         false,
         {false, true, true},
         {}},
        {"locked", [&] { lock.LockAction()->trigger(); }, true, {true, false, false}, {}},
        {"wrong password",
         [&] {
             m_prompts.passwords.push_back(kPassword.toLower());
             lock.UnlockAction()->trigger();
         },
         true,
         {true, false, false},
         "Wrong password: the set-up stays locked."},
        {"unlock cancelled",
         [&] { lock.UnlockAction()->trigger(); },
         true,
         {true, false, false},
         {}},
        {"right password",
         [&] {
             m_prompts.passwords.push_back(kPassword);
             lock.UnlockAction()->trigger();
         },
         false,
         {false, true, true},
         {}},
        {"locked again", [&] { lock.LockAction()->trigger(); }, true, {true, false, false}, {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        m_prompts.told.clear();
        step.act();
        EXPECT_EQ(lock.IsLocked(), step.locked);
        EXPECT_EQ(States(lock), step.states);
        EXPECT_EQ(m_prompts.told, step.told.isEmpty() ? QStringList() : QStringList{step.told});
    }
    EXPECT_EQ(changes.size(), 3);

    QSettings reread(SettingsFile(), QSettings::IniFormat);
    OperatorLock restarted(reread, m_prompts);
    EXPECT_TRUE(restarted.IsLocked());
    EXPECT_TRUE(restarted.HasPassword());
    const QByteArray file = ReadSettings();
    EXPECT_TRUE(file.contains("Locked=true")) << file.toStdString();
    EXPECT_FALSE(file.contains(kPassword.toUtf8())) << file.toStdString();
}

TEST_F(OperatorLockTest, ReadsTheLockFromTheSettingsFile)
{
    const struct
    {
        QByteArray file;
        bool locked;
    } rows[] = {
        {"", false},
        {"[Station]\nLocked=false\n", false},
        {"[Station]\nLocked=true\n", true},
        // A value nobody wrote on purpose keeps the set-up locked.
        {"[Station]\nLocked=yes\n", true},
    };
    for (const auto& row : rows) {
        WriteSettings(row.file);
        QSettings settings(SettingsFile(), QSettings::IniFormat);
        OperatorLock lock(settings, m_prompts);
        EXPECT_EQ(lock.IsLocked(), row.locked) << row.file.toStdString();
    }
}

TEST_F(OperatorLockTest, LockedWithoutPasswordSaysWhereToUnlock)
{
    WriteSettings("[Station]\nLocked=true\n");
    QSettings settings(SettingsFile(), QSettings::IniFormat);
    OperatorLock lock(settings, m_prompts);
    lock.UnlockAction()->trigger();
    EXPECT_EQ(m_prompts.asked, 0);
    EXPECT_EQ(m_prompts.told,
              QStringList{QStringLiteral("No supervisor password is set: set Station/Locked=false "
                                         "in %1 to unlock.")
                              .arg(SettingsFile())});
    EXPECT_TRUE(lock.IsLocked());
}

TEST_F(OperatorLockTest, WrongTriesInARowMakeUnlockingWait)
{
    for (int tries = 1; tries < 100; ++tries) {
        const auto wait = OperatorLock::WaitAfterWrongTries(tries);
        EXPECT_GE(wait, OperatorLock::WaitAfterWrongTries(tries - 1)) << tries;
        EXPECT_LE(wait, 30s) << tries;
        EXPECT_EQ(wait > 0ms, tries > 2) << tries;
    }

    QSettings settings(SettingsFile(), QSettings::IniFormat);
    OperatorLock lock(settings, m_prompts);
    m_prompts.newPasswords.push_back(NewPasswordEntry{kPassword, kPassword});
    lock.SetPasswordAction()->trigger();
    lock.LockAction()->trigger();
    for (int tries = 1; tries <= 3; ++tries) {
        m_prompts.passwords.push_back(QStringLiteral("guess"));
        lock.UnlockAction()->trigger();
    }
    EXPECT_FALSE(lock.UnlockAction()->isEnabled());
    EXPECT_EQ(m_prompts.told.last(), QStringLiteral("Wrong password: the set-up stays locked. "
                                                    "The next try is possible in 1 s."));
    m_prompts.passwords.push_back(kPassword);
    lock.UnlockAction()->trigger();
    EXPECT_TRUE(lock.IsLocked()) << "a try during the wait is not asked";
    EXPECT_TRUE(QTest::qWaitFor([&] { return lock.UnlockAction()->isEnabled(); }, 3000));
    lock.UnlockAction()->trigger();
    EXPECT_FALSE(lock.IsLocked());
}

} // namespace
