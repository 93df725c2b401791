#include "RecordingView.h"

void RecordingView::ShowStatus(const QString& text)
{
    status = text;
    statuses << text;
    if (onStatus)
        onStatus(text);
}

void RecordingView::ShowPercent(const QString& text)
{
    percent = text;
    if (text.isEmpty())
        return;
    percents << text;
    if (onPercent)
        onPercent(text);
}

int RecordingView::MessageBox(const QString& prompt, int style, const QString& title)
{
    const ShownBox box{prompt, style, title};
    boxes.push_back(box);
    if (onBox)
        onBox(box);
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return style == kStyleYesNoWarning ? kAnswerNo : kAnswerOk;
}
