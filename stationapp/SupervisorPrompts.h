#pragma once

#include <QString>

#include <optional>

// A new password as the supervisor typed it, twice.
struct NewPasswordEntry
{
    QString password;
    QString repeated;
};

// What the operator lock asks of the supervisor and tells them. The window shows dialogs;
// tests answer without a human.
class SupervisorPrompts
{
public:
    virtual ~SupervisorPrompts() = default;
    // The password that unlocks the set-up; nothing when cancelled.
    virtual std::optional<QString> AskPassword() = 0;
    // A new supervisor password typed twice; nothing when cancelled.
    virtual std::optional<NewPasswordEntry> AskNewPassword() = 0;
    // A refusal the supervisor must read (wrong password, no password set, ...).
    virtual void Tell(const QString& title, const QString& text) = 0;
};
