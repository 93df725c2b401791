#pragma once

#include "DownloadView.h"
#include "MessageBoxService.h"

#include <deque>
#include <functional>
#include <vector>

// Message boxes answered from a script: each box is recorded, then answered with the next
// scripted answer (OK when the script is empty). An optional action runs while a box is up,
// as the user would act while it is shown.
class ScriptedMessageBoxes : public MessageBoxService
{
public:
    struct Shown
    {
        QString text;
        int style;
        QString title;
        QString detail;
    };

    void Answer(int answer) { m_answers.push_back(answer); }
    void WhileShown(std::function<void()> action) { m_whileShown = std::move(action); }

    int Show(const QString& text, int style, const QString& title, const QString& detail) override
    {
        shown.push_back({text, style, title, detail});
        if (auto action = std::exchange(m_whileShown, nullptr))
            action();
        if (m_answers.empty())
            return kAnswerOk;
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    std::vector<Shown> shown;

private:
    std::deque<int> m_answers;
    std::function<void()> m_whileShown;
};
