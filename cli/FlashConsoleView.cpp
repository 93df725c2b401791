#include "FlashConsoleView.h"

#include "ProgressPercent.h"

FlashConsoleView::FlashConsoleView(FlashReporter& reporter, const QString& port)
    : m_reporter(reporter), m_port(port)
{
}

void FlashConsoleView::ShowStatus(const QString& text)
{
    m_reporter.Status(m_port, text);
}

void FlashConsoleView::ShowFileState(const QString& text)
{
    m_reporter.FileState(m_port, text);
}

// The percentage follows every step's value; an empty text only clears the display.
void FlashConsoleView::ShowPercent(const QString& text)
{
    if (text.isEmpty())
        return;
    m_reporter.Progress(m_port, m_value, m_maximum, ProgressPercent(m_value, m_maximum),
                        m_programming.isValid() ? m_programming.elapsed() : 0);
}

void FlashConsoleView::SetProgressVisible(bool visible)
{
    if (visible)
        m_programming.start();
}

void FlashConsoleView::SetProgressMaximum(int maximum)
{
    m_maximum = maximum;
}

void FlashConsoleView::SetProgressValue(int value)
{
    m_value = value;
}

int FlashConsoleView::MessageBox(const QString& prompt, int style, const QString& title)
{
    const QString shownTitle = title.isEmpty() ? kApplicationTitle : title;
    if (style == kStyleYesNoWarning)
        return kAnswerYes;
    m_lastMessage = OneLine(prompt);
    m_reporter.Message(m_port, shownTitle, prompt, style);
    return kAnswerOk;
}
