#pragma once

#include "SupervisorPrompts.h"

class QWidget;

// The supervisor prompts of the station window: SupervisorPasswordDialog to ask, a warning
// box to tell, both modal over the given window.
class DialogSupervisorPrompts : public SupervisorPrompts
{
public:
    explicit DialogSupervisorPrompts(QWidget* window) : m_window(window) {}

    std::optional<QString> AskPassword() override;
    std::optional<NewPasswordEntry> AskNewPassword() override;
    void Tell(const QString& title, const QString& text) override;

private:
    QWidget* m_window;
};
