#pragma once
// Supervisor prompts answered by the test: queued answers, every told text kept.

#include "SupervisorPrompts.h"

#include <QStringList>

#include <deque>
#include <utility>

class ScriptedSupervisorPrompts : public SupervisorPrompts
{
public:
    // Answers in turn; once they run out, the supervisor cancels.
    std::deque<QString> passwords;
    std::deque<NewPasswordEntry> newPasswords;
    QStringList told;
    int asked = 0;

    std::optional<QString> AskPassword() override
    {
        ++asked;
        return Next(passwords);
    }
    std::optional<NewPasswordEntry> AskNewPassword() override
    {
        ++asked;
        return Next(newPasswords);
    }
    void Tell(const QString&, const QString& text) override { told << text; }

private:
    template <typename T> static std::optional<T> Next(std::deque<T>& queue)
    {
        if (queue.empty())
            return std::nullopt;
        std::optional<T> answer(std::move(queue.front()));
        queue.pop_front();
        return answer;
    }
};
